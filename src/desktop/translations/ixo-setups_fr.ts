<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>ixo::BenchStrip</name>
    <message>
        <source>The library could not add the restore to its audit trail: %1</source>
        <translation>La bibliothèque n&apos;a pas pu inscrire la restauration dans son journal d&apos;audit : %1</translation>
    </message>
    <message>
        <source>Bench &amp;state:</source>
        <translation>&amp;État du banc :</translation>
    </message>
    <message>
        <source>Capture &amp;Bench...</source>
        <translation>Capturer le &amp;banc...</translation>
    </message>
    <message>
        <source>Capture every instrument of the bench at once under one name</source>
        <translation>Capturer tous les instruments du banc à la fois sous un même nom</translation>
    </message>
    <message>
        <source>Restore Be&amp;nch</source>
        <translation>Restaurer le ba&amp;nc</translation>
    </message>
    <message>
        <source>Restore the chosen bench state on every instrument, in the bench's order</source>
        <translation>Restaurer l’état de banc choisi sur chaque instrument, dans l’ordre du banc</translation>
    </message>
    <message>
        <source>Kept for %1</source>
        <translation>Enregistré pour %1</translation>
    </message>
    <message>
        <source>Capture Bench</source>
        <translation>Capturer le banc</translation>
    </message>
    <message>
        <source>Restore Bench</source>
        <translation>Restaurer le banc</translation>
    </message>
    <message>
        <source>Capturing bench state %1: %2 of %3 instruments answered</source>
        <translation>Capture de l’état de banc %1 : %2 instruments sur %3 ont répondu</translation>
    </message>
    <message>
        <source>Cancelling the capture of bench state %1...</source>
        <translation>Annulation de la capture de l’état de banc %1...</translation>
    </message>
    <message>
        <source>Bench state "%1" was not captured: cancelled by the user. No list changed.</source>
        <translation>L’état de banc « %1 » n’a pas été capturé : annulé par l’utilisateur. Aucune liste n’a changé.</translation>
    </message>
    <message>
        <source>Restoring bench state %1...</source>
        <translation>Restauration de l’état de banc %1...</translation>
    </message>
    <message>
        <source>Cancelling the restore of bench state %1...</source>
        <translation>Annulation de la restauration de l’état de banc %1...</translation>
    </message>
    <message>
        <source>Restoring %1 (%2 of %3)</source>
        <translation>Restauration de %1 (%2 sur %3)</translation>
    </message>
    <message>
        <source>Bench state %1</source>
        <translation>État de banc %1</translation>
    </message>
    <message>
        <source>Bench state "%1" captured on %2 instruments.</source>
        <translation>État de banc « %1 » capturé sur %2 instruments.</translation>
    </message>
    <message>
        <source>Bench state "%1" restored.</source>
        <translation>État de banc « %1 » restauré.</translation>
    </message>
    <message>
        <source>Bench state "%1" restored:

%2</source>
        <translation>État de banc « %1 » restauré :

%2</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely.</source>
        <translation>L’état de banc « %1 » n’a pas été restauré entièrement.</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely:

%2</source>
        <translation>L’état de banc « %1 » n’a pas été restauré entièrement :

%2</translation>
    </message>
    <message>
        <source>Put back the setups the restore replaced on %1?</source>
        <translation>Remettre les configurations que la restauration a remplacées sur %1 ?</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>Put back the setups of %1.</source>
        <translation>Configurations de %1 remises.</translation>
    </message>
    <message>
        <source>These setups could not be put back:

%1</source>
        <translation>Ces configurations n’ont pas pu être remises :

%1</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>restauré</translation>
    </message>
    <message>
        <source>has no such state</source>
        <translation>n’a pas cet état</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>échec</translation>
    </message>
    <message>
        <source>not restored (an earlier role failed)</source>
        <translation>non restauré (un rôle précédent a échoué)</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
</context>
<context>
    <name>ixo::ConnectDialog</name>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source> (not verified on hardware)</source>
        <translation> (non vérifié sur le matériel)</translation>
    </message>
    <message>
        <source>Connect to an instrument</source>
        <translation>Se connecter à un instrument</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ressource</translation>
    </message>
    <message>
        <source>Identity (*IDN?)</source>
        <translation>Identité (*IDN?)</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Actualiser</translation>
    </message>
    <message>
        <source>such as TCPIP::192.168.1.20::INSTR or SIM</source>
        <translation>par exemple TCPIP::192.168.1.20::INSTR ou SIM</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Tester</translation>
    </message>
    <message>
        <source>Resource:</source>
        <translation>Ressource :</translation>
    </message>
    <message>
        <source>Profile:</source>
        <translation>Profil :</translation>
    </message>
    <message>
        <source>Test:</source>
        <translation>Test :</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Connecter</translation>
    </message>
    <message>
        <source>Instruments found on the network and the USB bus:</source>
        <translation>Instruments trouvés sur le réseau et le bus USB :</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Recherche en cours...</translation>
    </message>
    <message>
        <source>No instruments found; searching again shortly.</source>
        <translation>Aucun instrument trouvé ; nouvelle recherche sous peu.</translation>
    </message>
    <message>
        <source>Instruments found: %1</source>
        <translation>Instruments trouvés : %1</translation>
    </message>
    <message>
        <source>chosen on connect</source>
        <translation>choisi à la connexion</translation>
    </message>
    <message>
        <source>No answer: %1</source>
        <translation>Pas de réponse : %1</translation>
    </message>
    <message>
        <source>Asking %1 for *IDN?...</source>
        <translation>Envoi de *IDN? à %1...</translation>
    </message>
    <message>
        <source>Answered: %1</source>
        <translation>Réponse : %1</translation>
    </message>
</context>
<context>
    <name>ixo::ExchangeProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>Annulé par l’utilisateur</translation>
    </message>
</context>
<context>
    <name>ixo::GuardedInstrument</name>
    <message>
        <source>Could not keep the present setup of %1 for Undo Restore, so nothing was restored (Edit &gt; Settings... can turn this off): %2</source>
        <translation>Impossible de conserver la configuration actuelle de %1 pour Annuler la restauration ; rien n’a été restauré (Édition &gt; Paramètres... permet de le désactiver) : %2</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>Annulé par l’utilisateur</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentConnection</name>
    <message>
        <source>Reconnected to %1</source>
        <translation>Reconnecté à %1</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Connexion à %1...</translation>
    </message>
    <message>
        <source>no instrument</source>
        <translation>aucun instrument</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Non connecté</translation>
    </message>
    <message>
        <source>Connection to %1 lost; the next command reconnects</source>
        <translation>Connexion à %1 perdue ; la prochaine commande se reconnecte</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Connecté à %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentPanel</name>
    <message>
        <source>size %1, CRC-32 %2</source>
        <translation>taille %1, CRC-32 %2</translation>
    </message>
    <message>
        <source>&lt;b&gt;Not connected&lt;/b&gt;</source>
        <translation>&lt;b&gt;Non connecté&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt;, version %2</source>
        <translation>&lt;b&gt;%1&lt;/b&gt;, version %2</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>l’instrument</translation>
    </message>
    <message>
        <source>"%1"</source>
        <translation>« %1 »</translation>
    </message>
    <message>
        <source>Setup blocks: %1 %2; %3 %4. %5</source>
        <translation>Blocs de configuration : %1 %2 ; %3 %4. %5</translation>
    </message>
    <message>
        <source>They are the same.</source>
        <translation>Ils sont identiques.</translation>
    </message>
    <message>
        <source>They differ.</source>
        <translation>Ils diffèrent.</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>Modifié</translation>
    </message>
    <message>
        <source>Only in %1</source>
        <translation>Seulement dans %1</translation>
    </message>
    <message>
        <source>%1 and %2 have the same settings.</source>
        <translation>%1 et %2 ont les mêmes réglages.</translation>
    </message>
    <message>
        <source>%1 against %2: %3 changed, %4 only in %1, %5 only in %2.</source>
        <translation>%1 contre %2 : %3 modifiés, %4 seulement dans %1, %5 seulement dans %2.</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Réglage</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Valeur</translation>
    </message>
    <message>
        <source>&lt;b&gt;Instrument error:&lt;/b&gt; %1</source>
        <translation>&lt;b&gt;Erreur de l’instrument :&lt;/b&gt; %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentRelay</name>
    <message>
        <source>No instrument is connected. Choose Instrument &gt; Connect... to connect one.</source>
        <translation>Aucun instrument n’est connecté. Choisissez Instrument &gt; Connecter... pour en connecter un.</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>l’instrument</translation>
    </message>
    <message>
        <source>Capturing the setup of %1...</source>
        <translation>Capture de la configuration de %1...</translation>
    </message>
    <message>
        <source>Restoring a setup to %1...</source>
        <translation>Restauration d’une configuration sur %1...</translation>
    </message>
    <message>
        <source>Waiting for %1</source>
        <translation>En attente de %1</translation>
    </message>
    <message>
        <source>Cancelling the exchange with %1...</source>
        <translation>Annulation de l’échange avec %1...</translation>
    </message>
</context>
<context>
    <name>ixo::LibraryActions</name>
    <message>
        <source>Open &amp;Library...</source>
        <translation>Ouvrir depuis une &amp;bibliothèque...</translation>
    </message>
    <message>
        <source>Open a document of a setup library by its address</source>
        <translation>Ouvrir un document d’une bibliothèque de configurations par son adresse</translation>
    </message>
    <message>
        <source>Save to Li&amp;brary...</source>
        <translation>Enregistrer dans une bib&amp;liothèque...</translation>
    </message>
    <message>
        <source>Put the whole document into a setup library and go on working there</source>
        <translation>Placer tout le document dans une bibliothèque de configurations et continuer d’y travailler</translation>
    </message>
    <message>
        <source>Open Library</source>
        <translation>Ouvrir depuis une bibliothèque</translation>
    </message>
    <message>
        <source>Address of the library document:</source>
        <translation>Adresse du document de la bibliothèque :</translation>
    </message>
    <message>
        <source>Save to Library</source>
        <translation>Enregistrer dans une bibliothèque</translation>
    </message>
    <message>
        <source>Address of the library, with a document name it does not hold yet (?document=NAME):</source>
        <translation>Adresse de la bibliothèque, avec un nom de document qu’elle ne contient pas encore (?document=NOM) :</translation>
    </message>
    <message>
        <source>Could not save to %1; the library is unchanged:
%2</source>
        <translation>Impossible d’enregistrer dans %1 ; la bibliothèque est inchangée :
%2</translation>
    </message>
    <message>
        <source>The library at %1 cannot be reached. The document stays open here with its changes, not saved: save it again later, or to a file with Save As.
%2</source>
        <translation>La bibliothèque %1 est injoignable. Le document reste ouvert ici avec ses modifications, non enregistré : enregistrez-le plus tard, ou dans un fichier avec Enregistrer sous.
%2</translation>
    </message>
    <message>
        <source>Could not save to %1; the document stays as it was:
%2</source>
        <translation>Impossible d’enregistrer dans %1 ; le document reste tel qu’il était :
%2</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>%1

Reload opens the document again from the library, with the other station&apos;s change; the changes not saved in this window are lost. Keep leaves the document here as it is, not saved, so that it can be saved to a file with Save As.</source>
        <translation>%1

Recharger ouvre à nouveau le document depuis la bibliothèque, avec la modification de l’autre poste ; les modifications non enregistrées dans cette fenêtre sont perdues. Conserver laisse le document ici tel quel, non enregistré, pour pouvoir l’enregistrer dans un fichier avec Enregistrer sous.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Recharger</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Conserver</translation>
    </message>
    <message>
        <source>Compare with &amp;Version...</source>
        <translation>Comparer avec une &amp;version...</translation>
    </message>
    <message>
        <source>Show an earlier version of the highlighted state beside it, as the library keeps it</source>
        <translation>Afficher à côté de l’état mis en évidence une de ses versions antérieures, telle que la bibliothèque la conserve</translation>
    </message>
    <message>
        <source>captured</source>
        <translation>capturé</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>renommé</translation>
    </message>
    <message>
        <source>revised</source>
        <translation>révisé</translation>
    </message>
    <message>
        <source>released</source>
        <translation>publié</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>supprimé</translation>
    </message>
    <message>
        <source>Version %1, %2: "%3", %4 on %5 at %6</source>
        <translation>Version %1, %2 : « %3 », %4 sur %5 le %6</translation>
    </message>
    <message>
        <source>Compare with Version</source>
        <translation>Comparer avec une version</translation>
    </message>
    <message>
        <source>Version of "%1" to show beside it:</source>
        <translation>Version de « %1 » à afficher à côté :</translation>
    </message>
    <message>
        <source>%1 (version %2, %3 on %4 at %5)</source>
        <translation>%1 (version %2, %3 sur %4 le %5)</translation>
    </message>
    <message>
        <source>Could not read the versions of "%1" from %2:
%3</source>
        <translation>Impossible de lire les versions de « %1 » dans %2 :
%3</translation>
    </message>
</context>
<context>
    <name>ixo::MainWindow</name>
    <message>
        <source>%1 was restored, but the library could not add the restore to its audit trail: %2</source>
        <translation>%1 a été restauré, mais la bibliothèque n&apos;a pas pu inscrire la restauration dans son journal d&apos;audit : %2</translation>
    </message>
    <message>
        <source>Instrument setup documents (*.ixs)|*.ixs|All files|*</source>
        <translation>Documents de configuration (*.ixs)|*.ixs|Tous les fichiers|*</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Nouveau</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Ouvrir...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Documents &amp;récents</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Enregistrer &amp;sous...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>É&amp;dition</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>Se&amp;ttings...</source>
        <translation>&amp;Paramètres...</translation>
    </message>
    <message>
        <source>&amp;Instrument</source>
        <translation>&amp;Instrument</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Langue</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>&amp;Connecter...</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Déconnecter</translation>
    </message>
    <message>
        <source>Recent instruments</source>
        <translation>Instruments récents</translation>
    </message>
    <message>
        <source>Could not connect to %1; the connection stays as it was:
%2</source>
        <translation>Impossible de se connecter à %1 ; la connexion reste inchangée :
%2</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Connecté à %1</translation>
    </message>
    <message>
        <source>Disconnected from %1</source>
        <translation>Déconnecté de %1</translation>
    </message>
    <message>
        <source>Open document</source>
        <translation>Ouvrir un document</translation>
    </message>
    <message>
        <source>Could not open %1:
%2</source>
        <translation>Impossible d’ouvrir %1 :
%2</translation>
    </message>
    <message>
        <source>Save document as</source>
        <translation>Enregistrer le document sous</translation>
    </message>
    <message>
        <source>Could not save %1; the file on disk is unchanged:
%2</source>
        <translation>Impossible d’enregistrer %1 ; le fichier sur le disque est inchangé :
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 enregistré</translation>
    </message>
    <message>
        <source>The last change to the list was taken back.</source>
        <translation>La dernière modification de la liste a été annulée.</translation>
    </message>
    <message>
        <source>The document has changed. Save the changes?</source>
        <translation>Le document a changé. Enregistrer les modifications ?</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Sans titre</translation>
    </message>
    <message>
        <source>%1[*] - %2 - IxoInstrSetups</source>
        <translation>%1[*] - %2 - IxoInstrSetups</translation>
    </message>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>These instruments of the bench could not be connected; their tabs stay as they were:
%1</source>
        <translation>Ces instruments du banc n’ont pas pu être connectés ; leurs onglets restent inchangés :
%1</translation>
    </message>
    <message>
        <source>Undo Re&amp;store</source>
        <translation>Annuler la re&amp;stauration</translation>
    </message>
    <message>
        <source>Put back on the instrument the setup it had before its last restore</source>
        <translation>Remettre sur l’instrument la configuration qu’il avait avant sa dernière restauration</translation>
    </message>
    <message>
        <source>%1 is back to the setup it had before its last restore.</source>
        <translation>%1 a retrouvé la configuration qu’il avait avant sa dernière restauration.</translation>
    </message>
    <message>
        <source>Could not undo the restore:
%1</source>
        <translation>Impossible d’annuler la restauration :
%1</translation>
    </message>
</context>
<context>
    <name>RestorePreview</name>
    <message>
        <source>%1: %2 becomes %3</source>
        <translation>%1 : %2 devient %3</translation>
    </message>
    <message>
        <source>%1: set to %2</source>
        <translation>%1 : réglé sur %2</translation>
    </message>
    <message>
        <source>%1: %2 (not in the saved state)</source>
        <translation>%1 : %2 (absent de l’état enregistré)</translation>
    </message>
    <message>
        <source>The saved setup block is the same as the instrument's.</source>
        <translation>Le bloc enregistré est identique à celui de l’instrument.</translation>
    </message>
    <message>
        <source>The instrument's setup block (%1 bytes) is replaced by the saved one (%2 bytes).</source>
        <translation>Le bloc de l’instrument (%1 octets) est remplacé par le bloc enregistré (%2 octets).</translation>
    </message>
    <message>
        <source>The restore changes no setting.</source>
        <translation>La restauration ne change aucun réglage.</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... et %1 de plus</translation>
    </message>
    <message>
        <source>Restoring the saved state changes these settings of %1:

%2

Restore it?</source>
        <translation>La restauration de l’état enregistré change ces réglages de %1 :

%2

Restaurer ?</translation>
    </message>
    <message>
        <source>Restore preview</source>
        <translation>Aperçu de la restauration</translation>
    </message>
</context>
<context>
    <name>ixo::RoleTabs</name>
    <message>
        <source>No tab shows the %1</source>
        <translation>Aucun onglet ne montre %1</translation>
    </message>
    <message>
        <source>%1 (%2): %3</source>
        <translation>%1 (%2) : %3</translation>
    </message>
</context>
<context>
    <name>ixo::SettingsDialog</name>
    <message>
        <source>Before a restore, show the settings it changes and ask</source>
        <translation>Avant une restauration, montrer les réglages modifiés et demander</translation>
    </message>
    <message>
        <source>After a restore, capture again and warn of settings that did not take (from the next connection on)</source>
        <translation>Après une restauration, capturer à nouveau et signaler les réglages non appliqués (à partir de la prochaine connexion)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Paramètres</translation>
    </message>
    <message>
        <source>Before a restore, keep the instrument's present setup, so that Edit &gt; Undo Restore can put it back</source>
        <translation>Avant une restauration, conserver la configuration actuelle de l’instrument pour qu’Édition &gt; Annuler la restauration puisse la remettre</translation>
    </message>
</context>
<context>
    <name>ixo::StateComparison</name>
    <message>
        <source>Comparing "%1" with "%2"</source>
        <translation>Comparaison de « %1 » avec « %2 »</translation>
    </message>
</context>
<context>
    <name>ixo::WindowLanguage</name>
    <message>
        <source>IxoInstrSetups</source>
        <translation>IxoInstrSetups</translation>
    </message>
    <message>
        <source>%1 is not available here (its catalogue or font is missing); the texts stay in English.</source>
        <translation>%1 n’est pas disponible ici (catalogue ou police manquant) ; les textes restent en anglais.</translation>
    </message>
    <message>
        <source>Language: %1</source>
        <translation>Langue : %1</translation>
    </message>
</context>
</TS>
