<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
        <translation>Deutsch</translation>
    </message>
    <message id="PrimaryLanguageID">
        <source>1</source>
        <translation>7</translation>
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
        <translation>Name:</translation>
    </message>
    <message id="201">
        <source>Description:</source>
        <translation>Beschreibung:</translation>
    </message>
    <message id="202">
        <source>Instrument State</source>
        <translation>Gerätezustand</translation>
    </message>
    <message id="203">
        <source>Capture New...</source>
        <translation>Neu erfassen...</translation>
    </message>
    <message id="204">
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message id="205">
        <source>Edit Name...</source>
        <translation>Name ändern...</translation>
    </message>
    <message id="206">
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message id="207">
        <source>Optional</source>
        <translation>Optional</translation>
    </message>
    <message id="208">
        <source>Import...</source>
        <translation>Importieren...</translation>
    </message>
    <message id="209">
        <source>Export...</source>
        <translation>Exportieren...</translation>
    </message>
    <message id="210">
        <source>Capture New State</source>
        <translation>Neuen Zustand erfassen</translation>
    </message>
    <message id="211">
        <source>Edit State Name </source>
        <translation>Zustandsnamen bearbeiten </translation>
    </message>
    <message id="212">
        <source>Import previously stored state file</source>
        <translation>Zuvor gespeicherte Zustandsdatei importieren</translation>
    </message>
    <message id="213">
        <source>Tessaview State Files (*.sta)|*.sta</source>
        <translation>Tessaview-Zustandsdateien (*.sta)|*.sta</translation>
    </message>
    <message id="214">
        <source>Export </source>
        <translation>Exportieren </translation>
    </message>
    <message id="215">
        <source> To</source>
        <translation> nach</translation>
    </message>
    <message id="216">
        <source>State </source>
        <translation>Zustand </translation>
    </message>
    <message id="217">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="218">
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message id="219">
        <source>Failed to Capture State from the Instrument</source>
        <translation>Der Zustand konnte nicht vom Gerät erfasst werden</translation>
    </message>
    <message id="220">
        <source>Error Details: </source>
        <translation>Fehlerdetails: </translation>
    </message>
    <message id="221">
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message id="222">
        <source>Failed to Export state to a file, Error = </source>
        <translation>Der Zustand konnte nicht in eine Datei exportiert werden, Fehler = </translation>
    </message>
    <message id="223">
        <source>The imported state is for the </source>
        <translation>Der importierte Zustand ist für das Modell </translation>
    </message>
    <message id="224">
        <source>, version </source>
        <translation>, Version </translation>
    </message>
    <message id="225">
        <source>Can not import state file.</source>
        <translation>Die Zustandsdatei kann nicht importiert werden.</translation>
    </message>
    <message id="226">
        <source>Imported state </source>
        <translation>Der importierte Zustand </translation>
    </message>
    <message id="227">
        <source> is already in the list.</source>
        <translation> ist bereits in der Liste.</translation>
    </message>
    <message id="228">
        <source>You must rename it.</source>
        <translation>Sie müssen ihn umbenennen.</translation>
    </message>
    <message id="229">
        <source> does not appear to be a standard state file.</source>
        <translation> scheint keine gültige Zustandsdatei zu sein.</translation>
    </message>
    <message id="230">
        <source>Failed to reset instrument to saved state</source>
        <translation>Das Gerät konnte nicht auf den gespeicherten Zustand zurückgesetzt werden</translation>
    </message>
    <message id="231">
        <source>The selected state is for the instrument model </source>
        <translation>Der ausgewählte Zustand ist für das Gerätemodell </translation>
    </message>
    <message id="232">
        <source>which is not the currently connected instrument. The state was not restored.</source>
        <translation>Dies ist nicht das derzeit angeschlossene Gerät. Der Zustand wurde nicht wiederhergestellt.</translation>
    </message>
    <message id="233">
        <source> is already a Captured State.</source>
        <translation> ist bereits ein erfasster Zustand.</translation>
    </message>
    <message id="235">
        <source>Capture current instrument setting</source>
        <translation>Aktuelle Geräteeinstellung erfassen</translation>
    </message>
    <message id="236">
        <source>Restore highlighted state to instrument</source>
        <translation>Markierten Zustand im Gerät wiederherstellen</translation>
    </message>
    <message id="237">
        <source>Edit the name and description of the highlighted state</source>
        <translation>Name und Beschreibung des markierten Zustands bearbeiten</translation>
    </message>
    <message id="238">
        <source>Remove the highlighted state from the list</source>
        <translation>Markierten Zustand aus der Liste entfernen</translation>
    </message>
    <message id="240">
        <source>Retrieve an instrument state from a file</source>
        <translation>Gerätezustand aus einer Datei laden</translation>
    </message>
    <message id="241">
        <source>Save the highlighted state to a file</source>
        <translation>Markierten Zustand in einer Datei speichern</translation>
    </message>
    <message id="244">
        <source>Save name and description with instrument state</source>
        <translation>Name und Beschreibung mit dem Gerätezustand speichern</translation>
    </message>
    <message id="245">
        <source>Cancel the save operation</source>
        <translation>Speichern abbrechen</translation>
    </message>
</context>
</TS>
