<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name></name>
    <message id="CategoryId">
        <extracomment>Catalogue description, not shown to users.</extracomment>
        <source>{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}</source>
        <translation>{A20A0573-8B1A-487e-AC55-EAFA32AE3F9D}</translation>
    </message>
    <message id="FontName">
        <source>Arial</source>
        <translation>DejaVu Sans</translation>
    </message>
    <message id="FontSize">
        <source>8</source>
        <translation>8</translation>
    </message>
    <message id="CodePage">
        <source>1</source>
        <translation>1252</translation>
    </message>
    <message id="Language">
        <source>English US</source>
        <translation>Français</translation>
    </message>
    <message id="PrimaryLanguageID">
        <source>1</source>
        <translation>12</translation>
    </message>
    <message id="SecondaryLanguageID">
        <source>0</source>
        <translation>1</translation>
    </message>
    <message id="Version">
        <source>1.0.0.0</source>
        <translation>1.0.0.0</translation>
    </message>
    <message id="200">
        <source>Name:</source>
        <translation>Nom :</translation>
    </message>
    <message id="201">
        <source>Description:</source>
        <translation>Description :</translation>
    </message>
    <message id="202">
        <source>Instrument State</source>
        <translation>État de l'instrument</translation>
    </message>
    <message id="203">
        <source>Capture New...</source>
        <translation>Nouvelle capture...</translation>
    </message>
    <message id="204">
        <source>Restore</source>
        <translation>Restaurer</translation>
    </message>
    <message id="205">
        <source>Edit Name...</source>
        <translation>Modifier le nom...</translation>
    </message>
    <message id="206">
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message id="207">
        <source>Optional</source>
        <translation>Facultatif</translation>
    </message>
    <message id="208">
        <source>Import...</source>
        <translation>Importer...</translation>
    </message>
    <message id="209">
        <source>Export...</source>
        <translation>Exporter...</translation>
    </message>
    <message id="210">
        <source>Capture New State</source>
        <translation>Capturer un nouvel état</translation>
    </message>
    <message id="211">
        <source>Edit State Name </source>
        <translation>Modifier le nom de l'état </translation>
    </message>
    <message id="212">
        <source>Import previously stored state file</source>
        <translation>Importer un fichier d'état enregistré</translation>
    </message>
    <message id="213">
        <source>Tessaview State Files (*.sta)|*.sta</source>
        <translation>Fichiers d'état Tessaview (*.sta)|*.sta</translation>
    </message>
    <message id="214">
        <source>Export </source>
        <translation>Exporter </translation>
    </message>
    <message id="215">
        <source> To</source>
        <translation> vers</translation>
    </message>
    <message id="216">
        <source>State </source>
        <translation>État </translation>
    </message>
    <message id="217">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="218">
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message id="219">
        <source>Failed to Capture State from the Instrument</source>
        <translation>Échec de la capture de l'état de l'instrument</translation>
    </message>
    <message id="220">
        <source>Error Details: </source>
        <translation>Détails de l'erreur : </translation>
    </message>
    <message id="221">
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message id="222">
        <source>Failed to Export state to a file, Error = </source>
        <translation>Échec de l'exportation de l'état vers un fichier, erreur = </translation>
    </message>
    <message id="223">
        <source>The imported state is for the </source>
        <translation>L'état importé est destiné au modèle </translation>
    </message>
    <message id="224">
        <source>, version </source>
        <translation>, version </translation>
    </message>
    <message id="225">
        <source>Can not import state file.</source>
        <translation>Impossible d'importer le fichier d'état.</translation>
    </message>
    <message id="226">
        <source>Imported state </source>
        <translation>L'état importé </translation>
    </message>
    <message id="227">
        <source> is already in the list.</source>
        <translation> figure déjà dans la liste.</translation>
    </message>
    <message id="228">
        <source>You must rename it.</source>
        <translation>Vous devez le renommer.</translation>
    </message>
    <message id="229">
        <source> does not appear to be a standard state file.</source>
        <translation> ne semble pas être un fichier d'état standard.</translation>
    </message>
    <message id="230">
        <source>Failed to reset instrument to saved state</source>
        <translation>Échec de la restauration de l'état enregistré sur l'instrument</translation>
    </message>
    <message id="231">
        <source>The selected state is for the instrument model </source>
        <translation>L'état sélectionné est destiné au modèle d'instrument </translation>
    </message>
    <message id="232">
        <source>which is not the currently connected instrument. The state was not restored.</source>
        <translation>qui n'est pas l'instrument actuellement connecté. L'état n'a pas été restauré.</translation>
    </message>
    <message id="233">
        <source> is already a Captured State.</source>
        <translation> est déjà un état capturé.</translation>
    </message>
    <message id="235">
        <source>Capture current instrument setting</source>
        <translation>Capturer le réglage actuel de l'instrument</translation>
    </message>
    <message id="236">
        <source>Restore highlighted state to instrument</source>
        <translation>Restaurer l'état sélectionné sur l'instrument</translation>
    </message>
    <message id="237">
        <source>Edit the name and description of the highlighted state</source>
        <translation>Modifier le nom et la description de l'état sélectionné</translation>
    </message>
    <message id="238">
        <source>Remove the highlighted state from the list</source>
        <translation>Supprimer l'état sélectionné de la liste</translation>
    </message>
    <message id="240">
        <source>Retrieve an instrument state from a file</source>
        <translation>Récupérer un état d'instrument depuis un fichier</translation>
    </message>
    <message id="241">
        <source>Save the highlighted state to a file</source>
        <translation>Enregistrer l'état sélectionné dans un fichier</translation>
    </message>
    <message id="244">
        <source>Save name and description with instrument state</source>
        <translation>Enregistrer le nom et la description avec l'état de l'instrument</translation>
    </message>
    <message id="245">
        <source>Cancel the save operation</source>
        <translation>Annuler l'enregistrement</translation>
    </message>
</context>
</TS>
