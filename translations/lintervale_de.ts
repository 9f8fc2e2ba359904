<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Message</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht gelesen werden. %2</translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation>Ungültige Zahleneingabe</translation>
    </message>
    <message>
        <source>Cannot write the list file &quot;%1&quot;. %2</source>
        <translation>Die Listendatei „%1“ kann nicht geschrieben werden. %2</translation>
    </message>
    <message>
        <source>The list file &quot;%1&quot; is too large to be read.</source>
        <translation>Die Listendatei „%1“ ist zu groß zum Lesen.</translation>
    </message>
    <message>
        <source>Cannot move the list file &quot;%1&quot; aside. %2</source>
        <translation>Die Listendatei „%1“ kann nicht beiseitegelegt werden. %2</translation>
    </message>
    <message numerus="yes">
        <source>%n tracker holding a double quote or &quot;|&quot; left out.</source>
        <translation>
            <numerusform>%n Tracker mit Anführungszeichen (&quot;) oder „|“ ausgelassen.</numerusform>
            <numerusform>%n Tracker mit Anführungszeichen (&quot;) oder „|“ ausgelassen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n trackers holding a double quote or &quot;|&quot; left out.</source>
        <translation>
            <numerusform>%n Tracker mit Anführungszeichen (&quot;) oder „|“ ausgelassen.</numerusform>
            <numerusform>%n Tracker mit Anführungszeichen (&quot;) oder „|“ ausgelassen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not a BitTorrent magnet link: %1</source>
        <translation>Kein BitTorrent-Magnet-Link: %1</translation>
    </message>
    <message>
        <source>Not a BitTorrent magnet link: %1 (and %2 more)</source>
        <translation>Kein BitTorrent-Magnet-Link: %1 (und %2 weitere)</translation>
    </message>
    <message>
        <source>Only the first 16 MiB of the text was read.</source>
        <translation>Nur die ersten 16 MiB des Textes wurden gelesen.</translation>
    </message>
    <message>
        <source>You have already added this hash. :)</source>
        <translation>Diesen Hash haben Sie schon hinzugefügt. :)</translation>
    </message>
    <message>
        <source>Do you need some help?</source>
        <translation>Brauchen Sie Hilfe?</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <source>%1 trackers for &quot;%2&quot;</source>
        <translation>%1 Tracker für „%2“</translation>
    </message>
    <message>
        <source>You can only edit one row at a time.</source>
        <translation>Sie können nur eine Zeile auf einmal bearbeiten.</translation>
    </message>
    <message>
        <source>No magnet link to copy.</source>
        <translation>Kein Magnet-Link zum Kopieren.</translation>
    </message>
    <message>
        <source>The tracker list was not saved: its torrent is no longer in the list.</source>
        <translation>Die Trackerliste wurde nicht gespeichert: Der zugehörige Torrent ist nicht mehr in der Liste.</translation>
    </message>
    <message>
        <source>Torrent</source>
        <translation>Torrent</translation>
    </message>
    <message>
        <source>Hash</source>
        <translation>Hash</translation>
    </message>
    <message>
        <source>Announce</source>
        <translation>Tracker</translation>
    </message>
    <message>
        <source># Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Filesize</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Something bad happened while trying to load the file, probably corrupt metainfo.</source>
        <translation>Beim Laden der Datei ist etwas schiefgegangen, vermutlich sind die Metadaten beschädigt.</translation>
    </message>
    <message>
        <source>Fetching trackers for: %1</source>
        <translation>Tracker werden geholt für: %1</translation>
    </message>
    <message>
        <source>Hash not found on %1.</source>
        <translation>Hash auf %1 nicht gefunden.</translation>
    </message>
    <message>
        <source>a string</source>
        <translation>eine Zeichenkette</translation>
    </message>
    <message>
        <source>an integer</source>
        <translation>eine Ganzzahl</translation>
    </message>
    <message>
        <source>a list</source>
        <translation>eine Liste</translation>
    </message>
    <message>
        <source>a dictionary</source>
        <translation>ein Wörterbuch</translation>
    </message>
    <message>
        <source>a value</source>
        <translation>ein Wert</translation>
    </message>
    <message>
        <source> at byte %1</source>
        <translation> bei Byte %1</translation>
    </message>
    <message>
        <source>file %1</source>
        <translation>Datei %1</translation>
    </message>
    <message>
        <source> is </source>
        <translation> ist </translation>
    </message>
    <message>
        <source>, not </source>
        <translation>, nicht </translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>the file is empty</source>
        <translation>die Datei ist leer</translation>
    </message>
    <message>
        <source>not bencoded data</source>
        <translation>keine bencodierten Daten</translation>
    </message>
    <message>
        <source>the string</source>
        <translation>die Zeichenkette</translation>
    </message>
    <message>
        <source> runs past the end of the file</source>
        <translation> reicht über das Dateiende hinaus</translation>
    </message>
    <message>
        <source>the dictionary key</source>
        <translation>der Wörterbuchschlüssel</translation>
    </message>
    <message>
        <source> is not a string</source>
        <translation> ist keine Zeichenkette</translation>
    </message>
    <message>
        <source>nesting deeper than %1</source>
        <translation>tiefer verschachtelt als %1</translation>
    </message>
    <message>
        <source>more than %1 values</source>
        <translation>mehr als %1 Werte</translation>
    </message>
    <message>
        <source>the file is larger than </source>
        <translation>die Datei ist größer als </translation>
    </message>
    <message>
        <source>the top level is </source>
        <translation>die oberste Ebene ist </translation>
    </message>
    <message>
        <source>, not a dictionary</source>
        <translation>, kein Wörterbuch</translation>
    </message>
    <message>
        <source>no info dictionary</source>
        <translation>kein info-Wörterbuch</translation>
    </message>
    <message>
        <source>the info dictionary has no %1</source>
        <translation>dem info-Wörterbuch fehlt %1</translation>
    </message>
    <message>
        <source>the info dictionary has neither length nor files</source>
        <translation>das info-Wörterbuch hat weder length noch files</translation>
    </message>
    <message>
        <source>the %1 of file %2</source>
        <translation>%1 von Datei %2</translation>
    </message>
    <message>
        <source>the %1 value</source>
        <translation>der Wert %1</translation>
    </message>
    <message>
        <source>an element of the path of file %1</source>
        <translation>ein Element des Pfads von Datei %1</translation>
    </message>
    <message>
        <source>file %1 has no length</source>
        <translation>Datei %1 hat keine Länge</translation>
    </message>
    <message>
        <source>file %1 has no path</source>
        <translation>Datei %1 hat keinen Pfad</translation>
    </message>
    <message>
        <source>the info value&apos;s position lies outside the file</source>
        <translation>die Position des info-Werts liegt außerhalb der Datei</translation>
    </message>
    <message>
        <source>the file tree&apos;s node</source>
        <translation>der Knoten des Dateibaums</translation>
    </message>
    <message>
        <source>the file</source>
        <translation>die Datei</translation>
    </message>
    <message>
        <source> of the file tree has no whole-number length</source>
        <translation> des Dateibaums hat keine ganzzahlige Länge</translation>
    </message>
    <message>
        <source> of the file tree has a negative length</source>
        <translation> des Dateibaums hat eine negative Länge</translation>
    </message>
    <message>
        <source> is a file and a folder at once</source>
        <translation> ist zugleich Datei und Ordner</translation>
    </message>
    <message>
        <source>the file tree holds more than any torrent can</source>
        <translation>der Dateibaum enthält mehr, als ein Torrent fassen kann</translation>
    </message>
    <message>
        <source>not enough memory</source>
        <translation>nicht genug Speicher</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no info hash.</source>
        <translation>„%1“ ist kein Info-Hash.</translation>
    </message>
    <message>
        <source>Cannot make the folder &quot;%1&quot;. %2</source>
        <translation>Der Ordner „%1“ kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>Cannot write the file &quot;%1&quot;. %2</source>
        <translation>Die Datei „%1“ kann nicht geschrieben werden. %2</translation>
    </message>
    <message numerus="yes">
        <source>%n added</source>
        <translation>
            <numerusform>%n hinzugefügt</numerusform>
            <numerusform>%n hinzugefügt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n already listed</source>
        <translation>
            <numerusform>%n schon in der Liste</numerusform>
            <numerusform>%n schon in der Liste</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n refused</source>
        <translation>
            <numerusform>%n abgelehnt</numerusform>
            <numerusform>%n abgelehnt</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was added.</source>
        <translation>Nichts wurde hinzugefügt.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;.</source>
        <translation>Die Datei „%1“ kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>The list file is cut short: it holds %1 of the %2 lines its counts call for.</source>
        <translation>Die Listendatei ist abgeschnitten: Sie enthält %1 der %2 Zeilen, die ihre Zählwerte verlangen.</translation>
    </message>
    <message>
        <source>The list file is cut short: it ends before its column and row counts.</source>
        <translation>Die Listendatei ist abgeschnitten: Sie endet vor ihren Spalten- und Zeilenzahlen.</translation>
    </message>
    <message>
        <source>The list is too large to be saved: its file would be larger than </source>
        <translation>Die Liste ist zu groß zum Speichern: Ihre Datei wäre größer als </translation>
    </message>
    <message>
        <source>, more than can be read back. The list file &quot;%1&quot; is kept as it was saved before.</source>
        <translation>, mehr als wieder gelesen werden kann. Die Listendatei „%1“ bleibt, wie sie zuvor gespeichert wurde.</translation>
    </message>
    <message>
        <source>Cannot keep the list saved before as &quot;%1&quot;. %2</source>
        <translation>Die zuvor gespeicherte Liste kann nicht als „%1“ aufbewahrt werden. %2</translation>
    </message>
    <message>
        <source>a named pipe, not a regular file</source>
        <translation>eine benannte Pipe, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>a device, not a regular file</source>
        <translation>ein Gerät, keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Could not fetch trackers: %1</source>
        <translation>Tracker konnten nicht geholt werden: %1</translation>
    </message>
    <message>
        <source>Line %1 is longer than %3 bytes: %2</source>
        <translation>Zeile %1 ist länger als %3 Bytes: %2</translation>
    </message>
    <message>
        <source>Line %1 is not valid text: %2</source>
        <translation>Zeile %1 ist kein gültiger Text: %2</translation>
    </message>
    <message>
        <source>Line %1 holds a double quote or a &quot;|&quot;, which would split it into several trackers: %2</source>
        <translation>Zeile %1 enthält ein Anführungszeichen (&quot;) oder „|“, die sie in mehrere Tracker teilen würden: %2</translation>
    </message>
    <message>
        <source>Line %1 holds a space or a control character, which no tracker address holds: %2</source>
        <translation>Zeile %1 enthält ein Leerzeichen oder ein Steuerzeichen, das keine Tracker-Adresse enthält: %2</translation>
    </message>
    <message>
        <source>Line %1 is not a tracker address with a scheme, such as udp://tracker.example:6969/announce: %2</source>
        <translation>Zeile %1 ist keine Tracker-Adresse mit Schema wie udp://tracker.example:6969/announce: %2</translation>
    </message>
    <message>
        <source>The list holds %1 trackers in %2 bytes; a torrent holds at most %3 trackers in %4 KiB.</source>
        <translation>Die Liste enthält %1 Tracker in %2 Bytes; ein Torrent enthält höchstens %3 Tracker in %4 KiB.</translation>
    </message>
    <message>
        <source>Trackers fetched for &quot;%1&quot;:</source>
        <translation>Für „%1“ geholte Tracker:</translation>
    </message>
    <message numerus="yes">
        <source>%n line left out, not a valid address of at most %1 bytes without a blank, a double quote or a &quot;|&quot;.</source>
        <translation>
            <numerusform>%n Zeile ausgelassen: keine gültige Adresse mit höchstens %1 Bytes ohne Leerzeichen, Anführungszeichen (&quot;) oder „|“.</numerusform>
            <numerusform>%n Zeilen ausgelassen: keine gültigen Adressen mit höchstens %1 Bytes ohne Leerzeichen, Anführungszeichen (&quot;) oder „|“.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines left out, not valid addresses of at most %1 bytes without a blank, a double quote or a &quot;|&quot;.</source>
        <translation>
            <numerusform>%n Zeile ausgelassen: keine gültige Adresse mit höchstens %1 Bytes ohne Leerzeichen, Anführungszeichen (&quot;) oder „|“.</numerusform>
            <numerusform>%n Zeilen ausgelassen: keine gültigen Adressen mit höchstens %1 Bytes ohne Leerzeichen, Anführungszeichen (&quot;) oder „|“.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tracker left out, as a torrent holds at most %1 trackers in %2 KiB.</source>
        <translation>
            <numerusform>%n Tracker ausgelassen, da ein Torrent höchstens %1 Tracker in %2 KiB enthält.</numerusform>
            <numerusform>%n Tracker ausgelassen, da ein Torrent höchstens %1 Tracker in %2 KiB enthält.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n trackers left out, as a torrent holds at most %1 trackers in %2 KiB.</source>
        <translation>
            <numerusform>%n Tracker ausgelassen, da ein Torrent höchstens %1 Tracker in %2 KiB enthält.</numerusform>
            <numerusform>%n Tracker ausgelassen, da ein Torrent höchstens %1 Tracker in %2 KiB enthält.</numerusform>
        </translation>
    </message>
    <message>
        <source>Discard the changes to the tracker list?</source>
        <translation>Die Änderungen an der Tracker-Liste verwerfen?</translation>
    </message>
    <message>
        <source>The fetching library cannot be loaded: %1</source>
        <translation>Die Bibliothek zum Abrufen lässt sich nicht laden: %1</translation>
    </message>
    <message>
        <source>The fetching library belongs to another version of the program.</source>
        <translation>Die Bibliothek zum Abrufen gehört zu einer anderen Version des Programms.</translation>
    </message>
    <message numerus="yes">
        <source>no peer sent the contents within %n minute</source>
        <translation>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Minute gesendet</numerusform>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Minuten gesendet</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no peer sent the contents within %n minutes</source>
        <translation>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Minute gesendet</numerusform>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Minuten gesendet</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no peer sent the contents within %n second</source>
        <translation>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Sekunde gesendet</numerusform>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Sekunden gesendet</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>no peer sent the contents within %n seconds</source>
        <translation>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Sekunde gesendet</numerusform>
            <numerusform>kein Peer hat den Inhalt innerhalb von %n Sekunden gesendet</numerusform>
        </translation>
    </message>
    <message>
        <source>fetching was stopped</source>
        <translation>das Abrufen wurde abgebrochen</translation>
    </message>
    <message>
        <source>fetching ended as the program closed</source>
        <translation>das Abrufen endete, weil das Programm beendet wurde</translation>
    </message>
    <message>
        <source>the link cannot be fetched: %1</source>
        <translation>der Link lässt sich nicht abrufen: %1</translation>
    </message>
    <message>
        <source>the contents received do not have the link&apos;s hash</source>
        <translation>der empfangene Inhalt hat nicht den Hash des Links</translation>
    </message>
    <message>
        <source>libtorrent failed: %1</source>
        <translation>libtorrent meldet einen Fehler: %1</translation>
    </message>
    <message>
        <source>Not a BitTorrent magnet link (no usable info hash).</source>
        <translation>Kein BitTorrent-Magnet-Link (kein brauchbarer Info-Hash).</translation>
    </message>
    <message>
        <source>The link holds the tracker address of a private torrent.</source>
        <translation>Der Link enthält die Tracker-Adresse eines privaten Torrents.</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>It is not an INI file.</source>
        <translation>Sie ist keine INI-Datei.</translation>
    </message>
    <message>
        <source>Access denied.</source>
        <translation>Zugriff verweigert.</translation>
    </message>
    <message>
        <source>Cannot write the options file &quot;%1&quot;. %2</source>
        <translation>Die Einstellungsdatei „%1“ kann nicht geschrieben werden. %2</translation>
    </message>
</context>
<context>
    <name>ShellIntegration</name>
    <message>
        <source>Cannot read &quot;%1&quot;. %2</source>
        <translation>„%1“ kann nicht gelesen werden. %2</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;. %2</source>
        <translation>„%1“ kann nicht geschrieben werden. %2</translation>
    </message>
    <message>
        <source>Cannot remove &quot;%1&quot;. %2</source>
        <translation>„%1“ kann nicht entfernt werden. %2</translation>
    </message>
</context>
<context>
    <name>WindowMain</name>
    <message>
        <source>Error: Main window not found.</source>
        <translation>Fehler: Hauptfenster nicht gefunden.</translation>
    </message>
    <message>
        <source>Lintervale does not start, so that no second copy writes the same list. Remove that folder, or set XDG_RUNTIME_DIR to a folder that only you can enter.</source>
        <translation>Lintervale startet nicht, damit keine zweite Kopie dieselbe Liste schreibt. Entfernen Sie diesen Ordner oder setzen Sie XDG_RUNTIME_DIR auf einen Ordner, den nur Sie betreten können.</translation>
    </message>
</context>
<context>
    <name>lintervale::BoundedDownload</name>
    <message>
        <source>%1 second</source>
        <translation>%1 Sekunde</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 Sekunden</translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation>%1 MiB</translation>
    </message>
    <message>
        <source>it was sent on to %1, which is not an http or https address.</source>
        <translation>die Anfrage wurde an %1 weitergeleitet; das ist keine http- oder https-Adresse.</translation>
    </message>
    <message>
        <source>it took longer than %1.</source>
        <translation>es dauerte länger als %1.</translation>
    </message>
    <message>
        <source>only http and https addresses can be downloaded.</source>
        <translation>nur http- und https-Adressen können heruntergeladen werden.</translation>
    </message>
    <message>
        <source>the server packed it as %1, which was not asked for.</source>
        <translation>der Server hat sie als %1 gepackt, was nicht erbeten war.</translation>
    </message>
    <message>
        <source>the file is larger than %1 once unpacked.</source>
        <translation>die Datei ist entpackt größer als %1.</translation>
    </message>
    <message>
        <source>the file is larger than %1.</source>
        <translation>die Datei ist größer als %1.</translation>
    </message>
    <message>
        <source>the server&apos;s packed body is damaged.</source>
        <translation>die gepackten Daten des Servers sind beschädigt.</translation>
    </message>
    <message>
        <source>nothing came for %1.</source>
        <translation>%1 lang kam nichts an.</translation>
    </message>
    <message>
        <source>it was sent on more than %1 times.</source>
        <translation>die Anfrage wurde öfter als %1-mal weitergeleitet.</translation>
    </message>
    <message>
        <source>the server answered %1.</source>
        <translation>der Server antwortete mit %1.</translation>
    </message>
    <message>
        <source>the server answered %1 %2.</source>
        <translation>der Server antwortete mit %1 %2.</translation>
    </message>
    <message>
        <source>the server&apos;s packed body ended early.</source>
        <translation>die gepackten Daten des Servers enden zu früh.</translation>
    </message>
</context>
<context>
    <name>lintervale::ContentsFetching</name>
    <message>
        <source>No selected row has a hash to fetch the contents of.</source>
        <translation>Keine ausgewählte Zeile hat einen Hash, dessen Inhalt geholt werden könnte.</translation>
    </message>
    <message>
        <source>Nothing to fetch: the contents of the selected rows are known or being fetched.</source>
        <translation>Nichts zu holen: Der Inhalt der ausgewählten Zeilen ist bekannt oder wird gerade geholt.</translation>
    </message>
    <message>
        <source>Fetching the contents of 1 torrent… Escape stops.</source>
        <translation>Der Inhalt von 1 Torrent wird geholt… Escape hält an.</translation>
    </message>
    <message>
        <source>Fetching the contents of %1 torrents… Escape stops.</source>
        <translation>Der Inhalt von %1 Torrents wird geholt… Escape hält an.</translation>
    </message>
    <message>
        <source>Nothing was fetched.</source>
        <translation>Es wurde nichts geholt.</translation>
    </message>
    <message>
        <source>Fetching…</source>
        <translation>Wird geholt…</translation>
    </message>
    <message>
        <source>Fetching… %1%</source>
        <translation>Wird geholt… %1 %</translation>
    </message>
    <message>
        <source>Fetching… 1 peer</source>
        <translation>Wird geholt… 1 Peer</translation>
    </message>
    <message>
        <source>Fetching… %1 peers</source>
        <translation>Wird geholt… %1 Peers</translation>
    </message>
    <message>
        <source>The contents of &quot;%1&quot; that a peer sent cannot be read.</source>
        <translation>Der Inhalt von „%1“, den ein Peer geschickt hat, ist nicht lesbar.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no longer in the list: its contents were not kept.</source>
        <translation>„%1“ ist nicht mehr in der Liste: Sein Inhalt wurde nicht behalten.</translation>
    </message>
    <message>
        <source>Fetched the contents of &quot;%1&quot;.</source>
        <translation>Der Inhalt von „%1“ wurde geholt.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>1 torrent still fetching.</source>
        <translation>1 Torrent wird noch geholt.</translation>
    </message>
    <message>
        <source>%1 torrents still fetching.</source>
        <translation>%1 Torrents werden noch geholt.</translation>
    </message>
    <message>
        <source>Fetch contents</source>
        <translation>Inhalt holen</translation>
    </message>
    <message>
        <source>Fetching stopped.</source>
        <translation>Holen angehalten.</translation>
    </message>
    <message>
        <source>Fetching the contents connects to the peers that share the torrents, found through their trackers and the DHT. They see your IP address, as in any BitTorrent client; nothing of the torrents&apos; files is downloaded.

Fetch the contents?</source>
        <translation>Zum Holen des Inhalts verbindet sich Lintervale mit den Peers, die die Torrents teilen, gefunden über ihre Tracker und das DHT. Sie sehen Ihre IP-Adresse, wie bei jedem BitTorrent-Client; von den Dateien der Torrents wird nichts heruntergeladen.

Den Inhalt holen?</translation>
    </message>
</context>
<context>
    <name>lintervale::EditForm</name>
    <message>
        <source>Trackers</source>
        <translation>Tracker</translation>
    </message>
    <message>
        <source>The torrent&apos;s trackers, one a line; the selected one can be changed below.</source>
        <translation>Die Tracker des Torrents, einer pro Zeile; der ausgewählte lässt sich darunter ändern.</translation>
    </message>
    <message>
        <source>Tracker address</source>
        <translation>Trackeradresse</translation>
    </message>
    <message>
        <source>&amp;Add tracker</source>
        <translation>Tracker &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Adds an empty line for a new tracker.</source>
        <translation>Fügt eine leere Zeile für einen neuen Tracker hinzu.</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Removes the selected tracker.</source>
        <translation>Entfernt den ausgewählten Tracker.</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Writes the trackers into the torrent&apos;s row and closes.</source>
        <translation>Schreibt die Tracker in die Zeile des Torrents und schließt das Fenster.</translation>
    </message>
    <message>
        <source>Editing: %1</source>
        <translation>Bearbeiten: %1</translation>
    </message>
    <message>
        <source>Type a tracker address to add it</source>
        <translation>Tracker-Adresse eingeben, um sie hinzuzufügen</translation>
    </message>
    <message>
        <source>The address of the selected tracker; with no line selected, a new tracker.</source>
        <translation>Die Adresse des ausgewählten Trackers; ist keine Zeile ausgewählt, ein neuer Tracker.</translation>
    </message>
</context>
<context>
    <name>lintervale::FetchSettingsDialog</name>
    <message>
        <source>Fetching contents</source>
        <translation>Inhalt holen</translation>
    </message>
    <message>
        <source>A link holds only a torrent&apos;s hash. Its contents (names, sizes and files) are fetched from the peers that share it, which see your address.</source>
        <translation>Ein Link enthält nur den Hash eines Torrents. Sein Inhalt (Namen, Größen und Dateien) wird von den Peers geholt, die ihn teilen; sie sehen Ihre Adresse.</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Time limit in seconds</source>
        <translation>Zeitlimit in Sekunden</translation>
    </message>
    <message>
        <source>Look for peers in the &amp;DHT</source>
        <translation>Peers im &amp;DHT suchen</translation>
    </message>
    <message>
        <source>Ask the router to &amp;forward a port (UPnP, NAT-PMP)</source>
        <translation>Den Router um eine &amp;Portweiterleitung bitten (UPnP, NAT-PMP)</translation>
    </message>
    <message>
        <source>Fetch contents of &amp;added links</source>
        <translation>Inhalt &amp;hinzugefügter Links holen</translation>
    </message>
    <message>
        <source>&amp;Give up after:</source>
        <translation>&amp;Aufgeben nach:</translation>
    </message>
</context>
<context>
    <name>lintervale::FileTreeModel</name>
    <message>
        <source>%1 → %2</source>
        <comment>a symbolic link and its target</comment>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Symbolic link to %1</source>
        <translation>Symbolischer Link auf %1</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>lintervale::FindBar</name>
    <message>
        <source>&amp;Find:</source>
        <translation>&amp;Suchen:</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Finds the rows whose name, hash or trackers hold the text, ignoring case.</source>
        <translation>Findet die Zeilen, deren Name, Hash oder Tracker den Text enthalten, ohne auf Groß- und Kleinschreibung zu achten.</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>Close the find bar (Escape)</source>
        <translation>Suchleiste schließen (Escape)</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>lintervale::GridModel</name>
    <message>
        <source>Row %1</source>
        <translation>Zeile %1</translation>
    </message>
    <message>
        <source>Private torrent: its link holds the tracker address, which usually carries your personal key.</source>
        <translation>Privater Torrent: Sein Link enthält die Tracker-Adresse, die meist Ihren persönlichen Schlüssel trägt.</translation>
    </message>
</context>
<context>
    <name>lintervale::GridView</name>
    <message>
        <source>Torrents</source>
        <translation>Torrents</translation>
    </message>
    <message>
        <source>The added torrents, one a row: name, hash, trackers, number of files and size. Enter opens the magnet links of the selected rows, the Menu key the commands, and Ctrl+Up and Ctrl+Down move the current row.</source>
        <translation>Die hinzugefügten Torrents, einer pro Zeile: Name, Hash, Tracker, Anzahl der Dateien und Größe. Die Eingabetaste öffnet die Magnet-Links der ausgewählten Zeilen, die Menütaste die Befehle; Strg+Pfeil nach oben und Strg+Pfeil nach unten verschieben die aktuelle Zeile.</translation>
    </message>
</context>
<context>
    <name>lintervale::KeptTorrents</name>
    <message>
        <source>%1 torrents could not be kept. The last: %2</source>
        <translation>%1 Torrents konnten nicht aufbewahrt werden. Der letzte Grund: %2</translation>
    </message>
    <message>
        <source>The kept .torrent file of &quot;%1&quot; is missing: its contents are not known.</source>
        <translation>Die aufbewahrte .torrent-Datei von „%1“ fehlt: ihr Inhalt ist nicht bekannt.</translation>
    </message>
    <message>
        <source>it holds another torrent</source>
        <translation>sie enthält einen anderen Torrent</translation>
    </message>
    <message>
        <source>The kept .torrent file of &quot;%1&quot; was damaged (%2) and has been removed: its contents are not known.</source>
        <translation>Die aufbewahrte .torrent-Datei von „%1“ war beschädigt (%2) und wurde entfernt: ihr Inhalt ist nicht bekannt.</translation>
    </message>
    <message>
        <source>%1 files, %2</source>
        <translation>%1 Dateien, %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; has no kept .torrent file to save: its row was made from a magnet link, or from a list saved before Lintervale kept torrents.</source>
        <translation>Für „%1“ ist keine .torrent-Datei aufbewahrt, die gespeichert werden könnte: die Zeile entstand aus einem Magnet-Link oder aus einer Liste, die gespeichert wurde, bevor Lintervale Torrents aufbewahrte.</translation>
    </message>
    <message>
        <source>Save .torrent as</source>
        <translation>.torrent speichern unter</translation>
    </message>
    <message>
        <source>.torrent (*.torrent)</source>
        <translation>.torrent-Dateien (*.torrent)</translation>
    </message>
    <message>
        <source>Could not save &quot;%1&quot;: %2</source>
        <translation>„%1“ konnte nicht gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Saved &quot;%1&quot;.</source>
        <translation>„%1“ gespeichert.</translation>
    </message>
    <message>
        <source>Save .torrents to folder</source>
        <translation>.torrent-Dateien in Ordner speichern</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: no kept .torrent file</source>
        <translation>„%1“: keine aufbewahrte .torrent-Datei</translation>
    </message>
    <message>
        <source>&quot;%1&quot;: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>Saved %1 of %2 .torrent files to &quot;%3&quot;.</source>
        <translation>%1 von %2 .torrent-Dateien in „%3“ gespeichert.</translation>
    </message>
    <message>
        <source>Not saved: %1.</source>
        <translation>Nicht gespeichert: %1.</translation>
    </message>
</context>
<context>
    <name>lintervale::LinkContentsDialog</name>
    <message>
        <source>Link contents</source>
        <translation>Link-Inhalt</translation>
    </message>
    <message>
        <source>The torrent&apos;s &amp;name (dn)</source>
        <translation>&amp;Name des Torrents (dn)</translation>
    </message>
    <message>
        <source>Trackers (tr)</source>
        <translation>Tracker (tr)</translation>
    </message>
    <message>
        <source>&amp;All trackers</source>
        <translation>&amp;Alle Tracker</translation>
    </message>
    <message>
        <source>Only the &amp;first tracker</source>
        <translation>Nur der &amp;erste Tracker</translation>
    </message>
    <message>
        <source>N&amp;o trackers</source>
        <translation>&amp;Keine Tracker</translation>
    </message>
    <message>
        <source>&amp;Web seeds (ws)</source>
        <translation>&amp;Webseeds (ws)</translation>
    </message>
    <message>
        <source>The exact &amp;size in bytes (xl)</source>
        <translation>Die genaue &amp;Größe in Bytes (xl)</translation>
    </message>
    <message>
        <source>Only for torrents whose .torrent file is kept, whose size is known to the byte.</source>
        <translation>Nur für Torrents, deren .torrent-Datei aufbewahrt wird und deren Größe bytegenau bekannt ist.</translation>
    </message>
    <message>
        <source>Peer addresses</source>
        <translation>Peer-Adressen</translation>
    </message>
    <message>
        <source>host:port, one a line</source>
        <translation>Host:Port, eine pro Zeile</translation>
    </message>
    <message>
        <source>&amp;Peer addresses (x.pe), one a line:</source>
        <translation>&amp;Peer-Adressen (x.pe), eine pro Zeile:</translation>
    </message>
    <message>
        <source>The current row&apos;s link</source>
        <translation>Der Link der aktuellen Zeile</translation>
    </message>
    <message>
        <source>The current row&apos;s &amp;link:</source>
        <translation>Der &amp;Link der aktuellen Zeile:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no peer address: write host:port, a name or an IPv4 address, or [IPv6]:port.</source>
        <translation>„%1“ ist keine Peer-Adresse: Schreiben Sie Host:Port mit einem Namen oder einer IPv4-Adresse, oder [IPv6]:Port.</translation>
    </message>
    <message>
        <source>(no row)</source>
        <translation>(keine Zeile)</translation>
    </message>
    <message>
        <source>The link contents are used, but could not be written to %1: %2</source>
        <translation>Der Link-Inhalt wird verwendet, konnte aber nicht in %1 geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>lintervale::LinkLabel</name>
    <message>
        <source>Maker&apos;s web page</source>
        <translation>Webseite des Herstellers</translation>
    </message>
    <message>
        <source>Opens %1 in the web browser.</source>
        <translation>Öffnet %1 im Webbrowser.</translation>
    </message>
</context>
<context>
    <name>lintervale::ListCommands</name>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Clear all</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Remove selected</source>
        <translation>Ausgewählte entfernen</translation>
    </message>
    <message>
        <source>Delete trackers</source>
        <translation>Tracker löschen</translation>
    </message>
</context>
<context>
    <name>lintervale::ListSaver</name>
    <message>
        <source>The list file found was neither loaded nor moved aside.</source>
        <translation>Die gefundene Listendatei wurde weder geladen noch verschoben.</translation>
    </message>
    <message>
        <source>The list file could not be read and was moved aside to &quot;%1&quot;; the next save writes a new one.</source>
        <translation>Die Listendatei konnte nicht gelesen werden und wurde nach „%1“ verschoben; beim nächsten Speichern entsteht eine neue.</translation>
    </message>
    <message>
        <source>%1. The list is not saved over it while Lintervale runs.</source>
        <translation>%1. Solange Lintervale läuft, wird die Liste nicht darüber gespeichert.</translation>
    </message>
    <message>
        <source>A saved list of 1 torrent was found in &quot;%1&quot;.</source>
        <translation>In „%1“ wurde eine gespeicherte Liste mit 1 Torrent gefunden.</translation>
    </message>
    <message>
        <source>A saved list of %1 torrents was found in &quot;%2&quot;.</source>
        <translation>In „%2“ wurde eine gespeicherte Liste mit %1 Torrents gefunden.</translation>
    </message>
    <message>
        <source>Load it into the list? If not, the file is moved aside and kept.</source>
        <translation>Soll sie in die Liste geladen werden? Wenn nicht, wird die Datei verschoben und aufbewahrt.</translation>
    </message>
    <message>
        <source>1 torrent of the saved list was added to the list.</source>
        <translation>1 Torrent der gespeicherten Liste wurde der Liste hinzugefügt.</translation>
    </message>
    <message>
        <source>%1 torrents of the saved list were added to the list.</source>
        <translation>%1 Torrents der gespeicherten Liste wurden der Liste hinzugefügt.</translation>
    </message>
    <message>
        <source>The saved list was moved aside to &quot;%1&quot;.</source>
        <translation>Die gespeicherte Liste wurde nach „%1“ verschoben.</translation>
    </message>
    <message>
        <source>The list is saved again.</source>
        <translation>Die Liste wird wieder gespeichert.</translation>
    </message>
    <message>
        <source>The list could not be saved: %1</source>
        <translation>Die Liste konnte nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>The list was not saved; it is tried again at the next change.</source>
        <translation>Die Liste wurde nicht gespeichert; bei der nächsten Änderung wird es erneut versucht.</translation>
    </message>
</context>
<context>
    <name>lintervale::MainForm</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>The list was not saved; Lintervale stays open.</source>
        <translation>Die Liste wurde nicht gespeichert; Lintervale bleibt geöffnet.</translation>
    </message>
    <message>
        <source>Adding .torrent files: %1 of %2 ...</source>
        <translation>.torrent-Dateien werden hinzugefügt: %1 von %2 …</translation>
    </message>
    <message>
        <source>Added %1 of %2 .torrent files.</source>
        <translation>%1 von %2 .torrent-Dateien hinzugefügt.</translation>
    </message>
    <message>
        <source>&amp;Add .torrent(s)</source>
        <translation>Torrents &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Chooses .torrent files to add to the list.</source>
        <translation>Wählt .torrent-Dateien aus, die der Liste hinzugefügt werden.</translation>
    </message>
    <message>
        <source>&amp;Clear all</source>
        <translation>Liste &amp;leeren</translation>
    </message>
    <message>
        <source>Removes every torrent from the list.</source>
        <translation>Entfernt alle Torrents aus der Liste.</translation>
    </message>
    <message>
        <source>&amp;Quaverize!</source>
        <translation>&amp;Quaverize!</translation>
    </message>
    <message>
        <source>Plays a note and opens the magnet links of the selected rows.</source>
        <translation>Spielt eine Note und öffnet die Magnet-Links der ausgewählten Zeilen.</translation>
    </message>
    <message>
        <source>&amp;Quiet mode</source>
        <translation>Stiller &amp;Modus</translation>
    </message>
    <message>
        <source>Shows no message boxes for what goes wrong: the status line tells.</source>
        <translation>Zeigt bei Fehlern keine Meldungsfenster; die Statuszeile berichtet davon.</translation>
    </message>
    <message>
        <source>Close to &amp;tray</source>
        <translation>In den &amp;Infobereich schließen</translation>
    </message>
    <message>
        <source>Closing the window hides it in the notification area; Exit in its menu ends the program.</source>
        <translation>Das Schließen des Fensters versteckt es im Infobereich; „Beenden“ in dessen Menü beendet das Programm.</translation>
    </message>
    <message>
        <source>&amp;Fetch more trackers</source>
        <translation>Weitere &amp;Tracker holen</translation>
    </message>
    <message>
        <source>Fetches further trackers for every torrent that is added.</source>
        <translation>Holt weitere Tracker für jeden hinzugefügten Torrent.</translation>
    </message>
    <message>
        <source>Auto-&amp;open added files</source>
        <translation>Neue automatisch ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Opens the magnet link of every torrent that is added.</source>
        <translation>Öffnet den Magnet-Link jedes hinzugefügten Torrents.</translation>
    </message>
    <message>
        <source>Associate &amp;with torrents</source>
        <translation>Mit Torrents &amp;verknüpfen</translation>
    </message>
    <message>
        <source>Makes Lintervale the program that opens .torrent files.</source>
        <translation>Macht Lintervale zum Programm, das .torrent-Dateien öffnet.</translation>
    </message>
    <message>
        <source>Start at logi&amp;n</source>
        <translation>Bei der &amp;Anmeldung starten</translation>
    </message>
    <message>
        <source>Starts Lintervale in the notification area when you log in.</source>
        <translation>Startet Lintervale bei der Anmeldung im Infobereich.</translation>
    </message>
    <message>
        <source>&amp;Save on exit</source>
        <translation>Beim Beenden &amp;speichern</translation>
    </message>
    <message>
        <source>Keeps the list from one run to the next.</source>
        <translation>Bewahrt die Liste bis zum nächsten Start auf.</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Befehle</translation>
    </message>
    <message>
        <source>&amp;Open selected</source>
        <translation>Ausgewählte &amp;öffnen</translation>
    </message>
    <message>
        <source>&amp;Edit tracker list</source>
        <translation>Trackerliste &amp;bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Delete trackers</source>
        <translation>Tracker &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Remove selected</source>
        <translation>Ausgewählte &amp;entfernen</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>&amp;Copy to clipboard</source>
        <translation>In die Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Tracker sources…</source>
        <translation>&amp;Trackerquellen …</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>The options were not saved.</source>
        <translation>Die Einstellungen wurden nicht gespeichert.</translation>
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
        <source>%1 of %2 rows were not put back: their torrents are listed again.</source>
        <translation>%1 von %2 Zeilen wurden nicht wiederhergestellt, weil ihre Torrents schon wieder in der Liste stehen.</translation>
    </message>
    <message>
        <source>Edit tracker list</source>
        <translation>Trackerliste bearbeiten</translation>
    </message>
    <message>
        <source>No magnet link in the text.</source>
        <translation>Kein Magnet-Link im Text.</translation>
    </message>
    <message>
        <source>This row has no magnet link.</source>
        <translation>Diese Zeile hat keinen Magnet-Link.</translation>
    </message>
    <message>
        <source>Nothing to add: the drop holds no .torrent file, magnet link or web address.</source>
        <translation>Nichts hinzuzufügen: Das Abgelegte enthält keine .torrent-Datei, keinen Magnet-Link und keine Webadresse.</translation>
    </message>
    <message>
        <source>Downloading %1 ...</source>
        <translation>%1 wird heruntergeladen …</translation>
    </message>
    <message>
        <source>Downloading %1: %2 of %3 KiB</source>
        <translation>%1 wird heruntergeladen: %2 von %3 KiB</translation>
    </message>
    <message>
        <source>Downloading %1: %2 KiB</source>
        <translation>%1 wird heruntergeladen: %2 KiB</translation>
    </message>
    <message>
        <source>Downloaded %1.</source>
        <translation>%1 heruntergeladen.</translation>
    </message>
    <message>
        <source>Could not add %1: %2</source>
        <translation>%1 konnte nicht hinzugefügt werden: %2</translation>
    </message>
    <message>
        <source>Adding magnet links: %1 of %2 ...</source>
        <translation>Magnet-Links werden hinzugefügt: %1 von %2 …</translation>
    </message>
    <message>
        <source>Added %1 of %2 magnet links.</source>
        <translation>%1 von %2 Magnet-Links hinzugefügt.</translation>
    </message>
    <message>
        <source>Adding .torrent files and magnet links: %1 of %2 ...</source>
        <translation>.torrent-Dateien und Magnet-Links werden hinzugefügt: %1 von %2 …</translation>
    </message>
    <message>
        <source>Added %1 of %2 .torrent files and magnet links.</source>
        <translation>%1 von %2 .torrent-Dateien und Magnet-Links hinzugefügt.</translation>
    </message>
    <message>
        <source>&amp;Paste links</source>
        <translation>Links ein&amp;fügen</translation>
    </message>
    <message>
        <source>Show &amp;QR code</source>
        <translation>&amp;QR-Code zeigen</translation>
    </message>
    <message>
        <source>Downloading %1: %2 of %3 bytes</source>
        <translation>%1 wird heruntergeladen: %2 von %3 Bytes</translation>
    </message>
    <message>
        <source>Downloading %1: %2 bytes</source>
        <translation>%1 wird heruntergeladen: %2 Bytes</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Find…</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Find &amp;next</source>
        <translation>&amp;Nächsten finden</translation>
    </message>
    <message>
        <source>Find pre&amp;vious</source>
        <translation>&amp;Vorherigen finden</translation>
    </message>
    <message>
        <source>Move row</source>
        <translation>Zeile verschieben</translation>
    </message>
    <message>
        <source>Fetched trackers</source>
        <translation>Geholte Tracker</translation>
    </message>
    <message>
        <source>Fetc&amp;h contents</source>
        <translation>&amp;Inhalt holen</translation>
    </message>
    <message>
        <source>Load saved list</source>
        <translation>Gespeicherte Liste laden</translation>
    </message>
    <message>
        <source>Propert&amp;ies…</source>
        <translation>Ei&amp;genschaften…</translation>
    </message>
    <message>
        <source>&amp;Save .torrent as…</source>
        <translation>.torrent speichern &amp;unter…</translation>
    </message>
    <message>
        <source>Save .torrents to fo&amp;lder…</source>
        <translation>.torrent-Dateien in &amp;Ordner speichern…</translation>
    </message>
    <message>
        <source>Stop fetc&amp;hing</source>
        <translation>Holen sto&amp;ppen</translation>
    </message>
    <message>
        <source>Fetching settin&amp;gs…</source>
        <translation>Einstellungen zu&amp;m Holen…</translation>
    </message>
    <message>
        <source>Lin&amp;k contents…</source>
        <translation>Inhalt &amp;der Links…</translation>
    </message>
</context>
<context>
    <name>lintervale::MessageBoxes</name>
    <message>
        <source>Add .torrent(s)</source>
        <translation>Torrents hinzufügen</translation>
    </message>
    <message>
        <source>.torrent (*.torrent)</source>
        <translation>.torrent-Dateien (*.torrent)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>lintervale::PropertiesDialog</name>
    <message>
        <source>%1 (%2 bytes)</source>
        <translation>%1 (%2 Bytes)</translation>
    </message>
    <message>
        <source>Properties of %1</source>
        <translation>Eigenschaften von %1</translation>
    </message>
    <message>
        <source>The kept .torrent file of this row cannot be read.</source>
        <translation>Die aufbewahrte .torrent-Datei dieser Zeile kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>&amp;Allgemein</translation>
    </message>
    <message>
        <source>&amp;Trackers</source>
        <translation>&amp;Tracker</translation>
    </message>
    <message>
        <source>&amp;Web seeds and DHT nodes</source>
        <translation>&amp;Webseeds und DHT-Knoten</translation>
    </message>
    <message>
        <source>&amp;Files</source>
        <translation>&amp;Dateien</translation>
    </message>
    <message>
        <source>The contents of this torrent are not known: its row was made from a magnet link, or from a list saved before Lintervale kept torrents. What the row holds is shown.</source>
        <translation>Der Inhalt dieses Torrents ist nicht bekannt: Seine Zeile entstand aus einem Magnet-Link oder aus einer Liste, die gespeichert wurde, bevor Lintervale Torrents aufbewahrte. Gezeigt wird, was die Zeile enthält.</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Info &amp;hash:</source>
        <translation>Info-&amp;Hash:</translation>
    </message>
    <message>
        <source>Info hash</source>
        <translation>Info-Hash</translation>
    </message>
    <message>
        <source>&amp;Files:</source>
        <translation>&amp;Dateien:</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>&amp;Size:</source>
        <translation>&amp;Größe:</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>Info hash v&amp;1:</source>
        <translation>Info-Hash v&amp;1:</translation>
    </message>
    <message>
        <source>Info hash, version 1</source>
        <translation>Info-Hash, Version 1</translation>
    </message>
    <message>
        <source>Info hash v&amp;2:</source>
        <translation>Info-Hash v&amp;2:</translation>
    </message>
    <message>
        <source>Info hash, version 2</source>
        <translation>Info-Hash, Version 2</translation>
    </message>
    <message>
        <source>Total &amp;size:</source>
        <translation>&amp;Gesamtgröße:</translation>
    </message>
    <message>
        <source>Total size</source>
        <translation>Gesamtgröße</translation>
    </message>
    <message>
        <source>&amp;Pieces:</source>
        <translation>&amp;Stücke:</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 zu je %2</translation>
    </message>
    <message>
        <source>Pieces</source>
        <translation>Stücke</translation>
    </message>
    <message>
        <source>P&amp;rivate:</source>
        <translation>P&amp;rivat:</translation>
    </message>
    <message>
        <source>Yes: only its trackers give peers</source>
        <translation>Ja: Nur seine Tracker nennen Peers</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Private</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Created &amp;by:</source>
        <translation>&amp;Erstellt mit:</translation>
    </message>
    <message>
        <source>Created by</source>
        <translation>Erstellt mit</translation>
    </message>
    <message>
        <source>Creation &amp;date:</source>
        <translation>Erstellungs&amp;datum:</translation>
    </message>
    <message>
        <source>Creation date</source>
        <translation>Erstellungsdatum</translation>
    </message>
    <message>
        <source>&amp;Comment:</source>
        <translation>&amp;Kommentar:</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>S&amp;ource:</source>
        <translation>&amp;Quelle:</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelle</translation>
    </message>
    <message>
        <source>Tier %1</source>
        <translation>Stufe %1</translation>
    </message>
    <message>
        <source>This torrent names no tracker.</source>
        <translation>Dieser Torrent nennt keinen Tracker.</translation>
    </message>
    <message>
        <source>Trackers by tier</source>
        <translation>Tracker nach Stufen</translation>
    </message>
    <message>
        <source>&amp;Web seeds:</source>
        <translation>&amp;Webseeds:</translation>
    </message>
    <message>
        <source>Web seeds</source>
        <translation>Webseeds</translation>
    </message>
    <message>
        <source>&amp;DHT nodes:</source>
        <translation>&amp;DHT-Knoten:</translation>
    </message>
    <message>
        <source>DHT nodes</source>
        <translation>DHT-Knoten</translation>
    </message>
    <message>
        <source>Filter by name</source>
        <translation>Nach Namen filtern</translation>
    </message>
    <message>
        <source>Tick &amp;all</source>
        <translation>&amp;Alle ankreuzen</translation>
    </message>
    <message>
        <source>Tick n&amp;one</source>
        <translation>&amp;Keine ankreuzen</translation>
    </message>
    <message>
        <source>&amp;Copy link for selected files</source>
        <translation>Link für ausgewählte Dateien &amp;kopieren</translation>
    </message>
    <message>
        <source>Copies the row&apos;s magnet link with the ticked files selected (so=).</source>
        <translation>Kopiert den Magnet-Link der Zeile mit den angekreuzten Dateien als Auswahl (so=).</translation>
    </message>
    <message>
        <source>F&amp;ilter:</source>
        <translation>F&amp;ilter:</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>%1 of %2 files shown</source>
        <translation>%1 von %2 Dateien gezeigt</translation>
    </message>
    <message>
        <source>Tick at least one file.</source>
        <translation>Kreuzen Sie mindestens eine Datei an.</translation>
    </message>
    <message>
        <source>The link for 1 file was copied.</source>
        <translation>Der Link für 1 Datei wurde kopiert.</translation>
    </message>
    <message>
        <source>The link for %1 files was copied.</source>
        <translation>Der Link für %1 Dateien wurde kopiert.</translation>
    </message>
    <message>
        <source>Kept torrents</source>
        <translation>Aufbewahrte Torrents</translation>
    </message>
    <message>
        <source>&amp;Kept torrents:</source>
        <translation>&amp;Aufbewahrte Torrents:</translation>
    </message>
</context>
<context>
    <name>lintervale::QrCodeDialog</name>
    <message>
        <source>QR code</source>
        <translation>QR-Code</translation>
    </message>
    <message>
        <source>The magnet link as a QR code, for a phone&apos;s camera.</source>
        <translation>Der Magnet-Link als QR-Code, für die Kamera eines Telefons.</translation>
    </message>
    <message>
        <source>Magnet link</source>
        <translation>Magnet-Link</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;Copy image</source>
        <translation>Bild &amp;kopieren</translation>
    </message>
    <message>
        <source>Puts the QR code on the clipboard as an image.</source>
        <translation>Legt den QR-Code als Bild in die Zwischenablage.</translation>
    </message>
    <message>
        <source>&amp;Save as PNG...</source>
        <translation>Als PNG &amp;speichern …</translation>
    </message>
    <message>
        <source>Saves the QR code as a PNG image file.</source>
        <translation>Speichert den QR-Code als PNG-Bilddatei.</translation>
    </message>
    <message>
        <source>The image is on the clipboard.</source>
        <translation>Das Bild ist in der Zwischenablage.</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Als PNG speichern</translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation>PNG-Bild (*.png)</translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation>Gespeichert in %1.</translation>
    </message>
    <message>
        <source>Could not save the image to %1.</source>
        <translation>Das Bild konnte nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>magnet link</source>
        <translation>Magnet-Link</translation>
    </message>
    <message>
        <source>This link is too long for a QR code.</source>
        <translation>Dieser Link ist zu lang für einen QR-Code.</translation>
    </message>
</context>
<context>
    <name>lintervale::RunningCopy</name>
    <message>
        <source>The folder %1 cannot be made: %2.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>The folder %1 is a symbolic link.</source>
        <translation>Der Ordner %1 ist eine symbolische Verknüpfung.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder %1 belongs to another user.</source>
        <translation>Der Ordner %1 gehört einem anderen Benutzer.</translation>
    </message>
    <message>
        <source>The folder %1 can be entered by other users (mode %2, not 700).</source>
        <translation>Der Ordner %1 kann von anderen Benutzern betreten werden (Modus %2, nicht 700).</translation>
    </message>
</context>
<context>
    <name>lintervale::StatusReport</name>
    <message>
        <source>Torrents in the list</source>
        <translation>Torrents in der Liste</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Details of the last batch</source>
        <translation>Details des letzten Stapels</translation>
    </message>
    <message>
        <source>1 torrent</source>
        <translation>1 Torrent</translation>
    </message>
    <message>
        <source>%1 torrents</source>
        <translation>%1 Torrents</translation>
    </message>
    <message>
        <source>%1, %2 selected</source>
        <translation>%1, %2 ausgewählt</translation>
    </message>
</context>
<context>
    <name>lintervale::TorrentDownload</name>
    <message>
        <source>Could not download %1: %2</source>
        <translation>%1 konnte nicht heruntergeladen werden: %2</translation>
    </message>
</context>
<context>
    <name>lintervale::TrackerFetcher</name>
    <message>
        <source>&amp;Get trackers from %1</source>
        <translation>Tracker &amp;holen von %1</translation>
    </message>
    <message>
        <source>the answer names no tracker.</source>
        <translation>die Antwort nennt keinen Tracker.</translation>
    </message>
    <message>
        <source>the list names no tracker.</source>
        <translation>die Liste nennt keinen Tracker.</translation>
    </message>
</context>
<context>
    <name>lintervale::TrackerSourcesDialog</name>
    <message>
        <source>Tracker sources</source>
        <translation>Trackerquellen</translation>
    </message>
    <message>
        <source>none: the tracker list is used</source>
        <translation>keiner: die Trackerliste wird verwendet</translation>
    </message>
    <message>
        <source>Service address</source>
        <translation>Adresse des Dienstes</translation>
    </message>
    <message>
        <source>The base address of a tracker-search service, asked for each torrent&apos;s hash.</source>
        <translation>Die Basisadresse eines Tracker-Suchdienstes, der nach dem Hash jedes Torrents gefragt wird.</translation>
    </message>
    <message>
        <source>the address&apos;s host</source>
        <translation>der Host der Adresse</translation>
    </message>
    <message>
        <source>Service name</source>
        <translation>Name des Dienstes</translation>
    </message>
    <message>
        <source>The name the menu gives the service.</source>
        <translation>Der Name, unter dem das Menü den Dienst nennt.</translation>
    </message>
    <message>
        <source>Tracker list address</source>
        <translation>Adresse der Trackerliste</translation>
    </message>
    <message>
        <source>The address of a public list of trackers, used while no service is set.</source>
        <translation>Die Adresse einer öffentlichen Trackerliste, die verwendet wird, solange kein Dienst eingetragen ist.</translation>
    </message>
    <message>
        <source>A tracker-search service is asked for each torrent&apos;s hash. Without a service address, trackers come from the tracker list, fetched once while Lintervale runs.</source>
        <translation>Ein Tracker-Suchdienst wird nach dem Hash jedes Torrents gefragt. Ohne Adresse eines Dienstes kommen die Tracker aus der Trackerliste, die einmal pro Programmlauf geholt wird.</translation>
    </message>
    <message>
        <source>Service &amp;address:</source>
        <translation>&amp;Adresse des Dienstes:</translation>
    </message>
    <message>
        <source>Service &amp;name:</source>
        <translation>&amp;Name des Dienstes:</translation>
    </message>
    <message>
        <source>Tracker &amp;list address:</source>
        <translation>Adresse der Tracker&amp;liste:</translation>
    </message>
    <message>
        <source>The service address must start with http:// or https:// and name a host.</source>
        <translation>Die Adresse des Dienstes muss mit http:// oder https:// beginnen und einen Host nennen.</translation>
    </message>
    <message>
        <source>The tracker list address must start with http:// or https:// and name a host.</source>
        <translation>Die Adresse der Trackerliste muss mit http:// oder https:// beginnen und einen Host nennen.</translation>
    </message>
    <message>
        <source>The tracker sources could not be saved in %1. They hold until Lintervale ends.</source>
        <translation>Die Trackerquellen konnten nicht in %1 gespeichert werden. Sie gelten, bis Lintervale beendet wird.</translation>
    </message>
</context>
</TS>
