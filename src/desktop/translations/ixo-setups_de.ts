<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>ixo::BenchStrip</name>
    <message>
        <source>The library could not add the restore to its audit trail: %1</source>
        <translation>Die Bibliothek konnte die Wiederherstellung nicht in ihr Prüfprotokoll aufnehmen: %1</translation>
    </message>
    <message>
        <source>Bench &amp;state:</source>
        <translation>Messplatz&amp;zustand:</translation>
    </message>
    <message>
        <source>Capture &amp;Bench...</source>
        <translation>Messplatz &amp;erfassen...</translation>
    </message>
    <message>
        <source>Capture every instrument of the bench at once under one name</source>
        <translation>Alle Geräte des Messplatzes auf einmal unter einem Namen erfassen</translation>
    </message>
    <message>
        <source>Restore Be&amp;nch</source>
        <translation>Messplatz &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Restore the chosen bench state on every instrument, in the bench's order</source>
        <translation>Den gewählten Messplatzzustand auf allen Geräten in der Reihenfolge des Messplatzes wiederherstellen</translation>
    </message>
    <message>
        <source>Kept for %1</source>
        <translation>Gespeichert für %1</translation>
    </message>
    <message>
        <source>Capture Bench</source>
        <translation>Messplatz erfassen</translation>
    </message>
    <message>
        <source>Restore Bench</source>
        <translation>Messplatz wiederherstellen</translation>
    </message>
    <message>
        <source>Capturing bench state %1: %2 of %3 instruments answered</source>
        <translation>Messplatzzustand %1 wird erfasst: %2 von %3 Geräten haben geantwortet</translation>
    </message>
    <message>
        <source>Cancelling the capture of bench state %1...</source>
        <translation>Erfassen von Messplatzzustand %1 wird abgebrochen...</translation>
    </message>
    <message>
        <source>Bench state "%1" was not captured: cancelled by the user. No list changed.</source>
        <translation>Messplatzzustand „%1“ wurde nicht erfasst: vom Benutzer abgebrochen. Keine Liste wurde geändert.</translation>
    </message>
    <message>
        <source>Restoring bench state %1...</source>
        <translation>Messplatzzustand %1 wird wiederhergestellt...</translation>
    </message>
    <message>
        <source>Cancelling the restore of bench state %1...</source>
        <translation>Wiederherstellen von Messplatzzustand %1 wird abgebrochen...</translation>
    </message>
    <message>
        <source>Restoring %1 (%2 of %3)</source>
        <translation>%1 wird wiederhergestellt (%2 von %3)</translation>
    </message>
    <message>
        <source>Bench state %1</source>
        <translation>Messplatzzustand %1</translation>
    </message>
    <message>
        <source>Bench state "%1" captured on %2 instruments.</source>
        <translation>Messplatzzustand „%1“ auf %2 Geräten erfasst.</translation>
    </message>
    <message>
        <source>Bench state "%1" restored.</source>
        <translation>Messplatzzustand „%1“ wiederhergestellt.</translation>
    </message>
    <message>
        <source>Bench state "%1" restored:

%2</source>
        <translation>Messplatzzustand „%1“ wiederhergestellt:

%2</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely.</source>
        <translation>Messplatzzustand „%1“ wurde nicht vollständig wiederhergestellt.</translation>
    </message>
    <message>
        <source>Bench state "%1" was not restored completely:

%2</source>
        <translation>Messplatzzustand „%1“ wurde nicht vollständig wiederhergestellt:

%2</translation>
    </message>
    <message>
        <source>Put back the setups the restore replaced on %1?</source>
        <translation>Die Einstellungen, die die Wiederherstellung ersetzt hat, auf %1 zurückholen?</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Put back the setups of %1.</source>
        <translation>Einstellungen von %1 zurückgeholt.</translation>
    </message>
    <message>
        <source>These setups could not be put back:

%1</source>
        <translation>Diese Einstellungen konnten nicht zurückgeholt werden:

%1</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>wiederhergestellt</translation>
    </message>
    <message>
        <source>has no such state</source>
        <translation>hat keinen solchen Zustand</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>not restored (an earlier role failed)</source>
        <translation>nicht wiederhergestellt (eine frühere Rolle ist fehlgeschlagen)</translation>
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
        <translation>%1: %2</translation>
    </message>
    <message>
        <source> (not verified on hardware)</source>
        <translation> (nicht an einem Gerät geprüft)</translation>
    </message>
    <message>
        <source>Connect to an instrument</source>
        <translation>Mit einem Gerät verbinden</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ressource</translation>
    </message>
    <message>
        <source>Identity (*IDN?)</source>
        <translation>Identität (*IDN?)</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>such as TCPIP::192.168.1.20::INSTR or SIM</source>
        <translation>etwa TCPIP::192.168.1.20::INSTR oder SIM</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>&amp;Testen</translation>
    </message>
    <message>
        <source>Resource:</source>
        <translation>Ressource:</translation>
    </message>
    <message>
        <source>Profile:</source>
        <translation>Profil:</translation>
    </message>
    <message>
        <source>Test:</source>
        <translation>Test:</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Verbinden</translation>
    </message>
    <message>
        <source>Instruments found on the network and the USB bus:</source>
        <translation>Im Netzwerk und am USB-Bus gefundene Geräte:</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>No instruments found; searching again shortly.</source>
        <translation>Keine Geräte gefunden; die Suche wird gleich wiederholt.</translation>
    </message>
    <message>
        <source>Instruments found: %1</source>
        <translation>Gefundene Geräte: %1</translation>
    </message>
    <message>
        <source>chosen on connect</source>
        <translation>wird beim Verbinden gewählt</translation>
    </message>
    <message>
        <source>No answer: %1</source>
        <translation>Keine Antwort: %1</translation>
    </message>
    <message>
        <source>Asking %1 for *IDN?...</source>
        <translation>%1 wird nach *IDN? gefragt...</translation>
    </message>
    <message>
        <source>Answered: %1</source>
        <translation>Antwort: %1</translation>
    </message>
</context>
<context>
    <name>ixo::ExchangeProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>Vom Benutzer abgebrochen</translation>
    </message>
</context>
<context>
    <name>ixo::GuardedInstrument</name>
    <message>
        <source>Could not keep the present setup of %1 for Undo Restore, so nothing was restored (Edit &gt; Settings... can turn this off): %2</source>
        <translation>Die aktuellen Einstellungen von %1 konnten nicht für „Wiederherstellen rückgängig“ gesichert werden, daher wurde nichts wiederhergestellt (abschaltbar unter Bearbeiten &gt; Einstellungen...): %2</translation>
    </message>
    <message>
        <source>Cancelled by the user</source>
        <translation>Vom Benutzer abgebrochen</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentConnection</name>
    <message>
        <source>Reconnected to %1</source>
        <translation>Wieder verbunden mit %1</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Verbindung mit %1 wird hergestellt...</translation>
    </message>
    <message>
        <source>no instrument</source>
        <translation>kein Gerät</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Connection to %1 lost; the next command reconnects</source>
        <translation>Verbindung zu %1 verloren; der nächste Befehl verbindet neu</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Verbunden mit %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentPanel</name>
    <message>
        <source>size %1, CRC-32 %2</source>
        <translation>Größe %1, CRC-32 %2</translation>
    </message>
    <message>
        <source>&lt;b&gt;Not connected&lt;/b&gt;</source>
        <translation>&lt;b&gt;Nicht verbunden&lt;/b&gt;</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt;, version %2</source>
        <translation>&lt;b&gt;%1&lt;/b&gt;, Version %2</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>das Gerät</translation>
    </message>
    <message>
        <source>"%1"</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <source>Setup blocks: %1 %2; %3 %4. %5</source>
        <translation>Setup-Blöcke: %1 %2; %3 %4. %5</translation>
    </message>
    <message>
        <source>They are the same.</source>
        <translation>Sie sind gleich.</translation>
    </message>
    <message>
        <source>They differ.</source>
        <translation>Sie unterscheiden sich.</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Only in %1</source>
        <translation>Nur in %1</translation>
    </message>
    <message>
        <source>%1 and %2 have the same settings.</source>
        <translation>%1 und %2 haben dieselben Einstellungen.</translation>
    </message>
    <message>
        <source>%1 against %2: %3 changed, %4 only in %1, %5 only in %2.</source>
        <translation>%1 gegen %2: %3 geändert, %4 nur in %1, %5 nur in %2.</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Instrument</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>&lt;b&gt;Instrument error:&lt;/b&gt; %1</source>
        <translation>&lt;b&gt;Gerätefehler:&lt;/b&gt; %1</translation>
    </message>
</context>
<context>
    <name>ixo::InstrumentRelay</name>
    <message>
        <source>No instrument is connected. Choose Instrument &gt; Connect... to connect one.</source>
        <translation>Kein Gerät ist verbunden. Gerät &gt; Verbinden... verbindet eines.</translation>
    </message>
    <message>
        <source>the instrument</source>
        <translation>das Gerät</translation>
    </message>
    <message>
        <source>Capturing the setup of %1...</source>
        <translation>Setup von %1 wird erfasst...</translation>
    </message>
    <message>
        <source>Restoring a setup to %1...</source>
        <translation>Setup wird auf %1 wiederhergestellt...</translation>
    </message>
    <message>
        <source>Waiting for %1</source>
        <translation>Warten auf %1</translation>
    </message>
    <message>
        <source>Cancelling the exchange with %1...</source>
        <translation>Austausch mit %1 wird abgebrochen...</translation>
    </message>
</context>
<context>
    <name>ixo::LibraryActions</name>
    <message>
        <source>Open &amp;Library...</source>
        <translation>Aus Bib&amp;liothek öffnen...</translation>
    </message>
    <message>
        <source>Open a document of a setup library by its address</source>
        <translation>Ein Dokument einer Setup-Bibliothek über seine Adresse öffnen</translation>
    </message>
    <message>
        <source>Save to Li&amp;brary...</source>
        <translation>In Bibliothe&amp;k speichern...</translation>
    </message>
    <message>
        <source>Put the whole document into a setup library and go on working there</source>
        <translation>Das ganze Dokument in eine Setup-Bibliothek übernehmen und dort weiterarbeiten</translation>
    </message>
    <message>
        <source>Open Library</source>
        <translation>Bibliothek öffnen</translation>
    </message>
    <message>
        <source>Address of the library document:</source>
        <translation>Adresse des Bibliotheksdokuments:</translation>
    </message>
    <message>
        <source>Save to Library</source>
        <translation>In Bibliothek speichern</translation>
    </message>
    <message>
        <source>Address of the library, with a document name it does not hold yet (?document=NAME):</source>
        <translation>Adresse der Bibliothek, mit einem Dokumentnamen, den sie noch nicht enthält (?document=NAME):</translation>
    </message>
    <message>
        <source>Could not save to %1; the library is unchanged:
%2</source>
        <translation>In %1 konnte nicht gespeichert werden; die Bibliothek ist unverändert:
%2</translation>
    </message>
    <message>
        <source>The library at %1 cannot be reached. The document stays open here with its changes, not saved: save it again later, or to a file with Save As.
%2</source>
        <translation>Die Bibliothek unter %1 ist nicht erreichbar. Das Dokument bleibt hier mit seinen Änderungen offen, ungespeichert: Speichern Sie es später erneut oder mit „Speichern unter“ in eine Datei.
%2</translation>
    </message>
    <message>
        <source>Could not save to %1; the document stays as it was:
%2</source>
        <translation>In %1 konnte nicht gespeichert werden; das Dokument bleibt, wie es war:
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

„Neu laden“ öffnet das Dokument erneut aus der Bibliothek, mit der Änderung des anderen Arbeitsplatzes; die in diesem Fenster nicht gespeicherten Änderungen gehen verloren. „Behalten“ lässt das Dokument hier, wie es ist, ungespeichert, damit es mit „Speichern unter“ in eine Datei gespeichert werden kann.</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Behalten</translation>
    </message>
    <message>
        <source>Compare with &amp;Version...</source>
        <translation>Mit &amp;Version vergleichen...</translation>
    </message>
    <message>
        <source>Show an earlier version of the highlighted state beside it, as the library keeps it</source>
        <translation>Eine frühere Version des markierten Zustands, wie die Bibliothek sie aufbewahrt, neben ihm anzeigen</translation>
    </message>
    <message>
        <source>captured</source>
        <translation>erfasst</translation>
    </message>
    <message>
        <source>renamed</source>
        <translation>umbenannt</translation>
    </message>
    <message>
        <source>revised</source>
        <translation>überarbeitet</translation>
    </message>
    <message>
        <source>released</source>
        <translation>freigegeben</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>Version %1, %2: "%3", %4 on %5 at %6</source>
        <translation>Version %1, %2: „%3“, %4 an %5 am %6</translation>
    </message>
    <message>
        <source>Compare with Version</source>
        <translation>Mit Version vergleichen</translation>
    </message>
    <message>
        <source>Version of "%1" to show beside it:</source>
        <translation>Version von „%1“, die daneben angezeigt wird:</translation>
    </message>
    <message>
        <source>%1 (version %2, %3 on %4 at %5)</source>
        <translation>%1 (Version %2, %3 an %4 am %5)</translation>
    </message>
    <message>
        <source>Could not read the versions of "%1" from %2:
%3</source>
        <translation>Die Versionen von „%1“ konnten nicht aus %2 gelesen werden:
%3</translation>
    </message>
</context>
<context>
    <name>ixo::MainWindow</name>
    <message>
        <source>%1 was restored, but the library could not add the restore to its audit trail: %2</source>
        <translation>%1 wurde wiederhergestellt, aber die Bibliothek konnte die Wiederherstellung nicht in ihr Prüfprotokoll aufnehmen: %2</translation>
    </message>
    <message>
        <source>Instrument setup documents (*.ixs)|*.ixs|All files|*</source>
        <translation>Geräte-Setup-Dokumente (*.ixs)|*.ixs|Alle Dateien|*</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Se&amp;ttings...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>&amp;Instrument</source>
        <translation>&amp;Gerät</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;Connect...</source>
        <translation>&amp;Verbinden...</translation>
    </message>
    <message>
        <source>&amp;Disconnect</source>
        <translation>&amp;Trennen</translation>
    </message>
    <message>
        <source>Recent instruments</source>
        <translation>Zuletzt verwendete Geräte</translation>
    </message>
    <message>
        <source>Could not connect to %1; the connection stays as it was:
%2</source>
        <translation>Keine Verbindung mit %1 möglich; die Verbindung bleibt, wie sie war:
%2</translation>
    </message>
    <message>
        <source>Connected to %1</source>
        <translation>Verbunden mit %1</translation>
    </message>
    <message>
        <source>Disconnected from %1</source>
        <translation>Verbindung mit %1 getrennt</translation>
    </message>
    <message>
        <source>Open document</source>
        <translation>Dokument öffnen</translation>
    </message>
    <message>
        <source>Could not open %1:
%2</source>
        <translation>%1 konnte nicht geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Save document as</source>
        <translation>Dokument speichern unter</translation>
    </message>
    <message>
        <source>Could not save %1; the file on disk is unchanged:
%2</source>
        <translation>%1 konnte nicht gespeichert werden; die Datei ist unverändert:
%2</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>The last change to the list was taken back.</source>
        <translation>Die letzte Änderung der Liste wurde zurückgenommen.</translation>
    </message>
    <message>
        <source>The document has changed. Save the changes?</source>
        <translation>Das Dokument wurde geändert. Änderungen speichern?</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
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
        <translation>Diese Geräte des Messplatzes konnten nicht verbunden werden; ihre Registerkarten bleiben, wie sie waren:
%1</translation>
    </message>
    <message>
        <source>Undo Re&amp;store</source>
        <translation>Wiederherstellen rückgän&amp;gig</translation>
    </message>
    <message>
        <source>Put back on the instrument the setup it had before its last restore</source>
        <translation>Die Einstellungen des Geräts von vor seiner letzten Wiederherstellung zurückholen</translation>
    </message>
    <message>
        <source>%1 is back to the setup it had before its last restore.</source>
        <translation>%1 hat wieder die Einstellungen von vor seiner letzten Wiederherstellung.</translation>
    </message>
    <message>
        <source>Could not undo the restore:
%1</source>
        <translation>Die Wiederherstellung konnte nicht rückgängig gemacht werden:
%1</translation>
    </message>
</context>
<context>
    <name>RestorePreview</name>
    <message>
        <source>%1: %2 becomes %3</source>
        <translation>%1: %2 wird %3</translation>
    </message>
    <message>
        <source>%1: set to %2</source>
        <translation>%1: wird auf %2 gesetzt</translation>
    </message>
    <message>
        <source>%1: %2 (not in the saved state)</source>
        <translation>%1: %2 (nicht im gespeicherten Zustand)</translation>
    </message>
    <message>
        <source>The saved setup block is the same as the instrument's.</source>
        <translation>Der gespeicherte Setup-Block ist derselbe wie der des Geräts.</translation>
    </message>
    <message>
        <source>The instrument's setup block (%1 bytes) is replaced by the saved one (%2 bytes).</source>
        <translation>Der Setup-Block des Geräts (%1 Bytes) wird durch den gespeicherten (%2 Bytes) ersetzt.</translation>
    </message>
    <message>
        <source>The restore changes no setting.</source>
        <translation>Die Wiederherstellung ändert keine Einstellung.</translation>
    </message>
    <message>
        <source>... and %1 more</source>
        <translation>... und %1 weitere</translation>
    </message>
    <message>
        <source>Restoring the saved state changes these settings of %1:

%2

Restore it?</source>
        <translation>Das Wiederherstellen des gespeicherten Zustands ändert diese Einstellungen von %1:

%2

Wiederherstellen?</translation>
    </message>
    <message>
        <source>Restore preview</source>
        <translation>Vorschau der Wiederherstellung</translation>
    </message>
</context>
<context>
    <name>ixo::RoleTabs</name>
    <message>
        <source>No tab shows the %1</source>
        <translation>Keine Registerkarte zeigt %1</translation>
    </message>
    <message>
        <source>%1 (%2): %3</source>
        <translation>%1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>ixo::SettingsDialog</name>
    <message>
        <source>Before a restore, show the settings it changes and ask</source>
        <translation>Vor einer Wiederherstellung die geänderten Einstellungen zeigen und fragen</translation>
    </message>
    <message>
        <source>After a restore, capture again and warn of settings that did not take (from the next connection on)</source>
        <translation>Nach einer Wiederherstellung erneut erfassen und vor Einstellungen warnen, die nicht übernommen wurden (ab der nächsten Verbindung)</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Before a restore, keep the instrument's present setup, so that Edit &gt; Undo Restore can put it back</source>
        <translation>Vor einer Wiederherstellung die aktuellen Einstellungen des Geräts sichern, damit Bearbeiten &gt; Wiederherstellen rückgängig sie zurückholen kann</translation>
    </message>
</context>
<context>
    <name>ixo::StateComparison</name>
    <message>
        <source>Comparing "%1" with "%2"</source>
        <translation>Vergleich von „%1“ mit „%2“</translation>
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
        <translation>%1 ist hier nicht verfügbar (Katalog oder Schrift fehlt); die Texte bleiben englisch.</translation>
    </message>
    <message>
        <source>Language: %1</source>
        <translation>Sprache: %1</translation>
    </message>
</context>
</TS>
