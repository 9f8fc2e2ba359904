<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Message</name>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid numeric input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the list file &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list file &quot;%1&quot; is too large to be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot move the list file &quot;%1&quot; aside. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n tracker holding a double quote or &quot;|&quot; left out.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n trackers holding a double quote or &quot;|&quot; left out.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Not a BitTorrent magnet link: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a BitTorrent magnet link: %1 (and %2 more)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Only the first 16 MiB of the text was read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You have already added this hash. :)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you need some help?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 trackers for &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>You can only edit one row at a time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No magnet link to copy.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The tracker list was not saved: its torrent is no longer in the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Torrent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hash</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Announce</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source># Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filesize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Something bad happened while trying to load the file, probably corrupt metainfo.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fetching trackers for: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not fetch trackers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hash not found on %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>It is not an INI file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Access denied.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write the options file &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ShellIntegration</name>
    <message>
        <source>Cannot read &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot remove &quot;%1&quot;. %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WindowMain</name>
    <message>
        <source>Error: Main window not found.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::EditForm</name>
    <message>
        <source>Trackers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The torrent&apos;s trackers, one a line; the selected one can be changed below.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracker address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The address of the selected tracker.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add tracker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adds an empty line for a new tracker.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removes the selected tracker.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Writes the trackers into the torrent&apos;s row and closes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Editing: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::GridModel</name>
    <message>
        <source>Row %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::GridView</name>
    <message>
        <source>Torrents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The added torrents, one a row: name, hash, trackers, number of files and size. Enter opens the magnet links of the selected rows, the Menu key the commands, and Ctrl+Up and Ctrl+Down move the current row.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::LinkLabel</name>
    <message>
        <source>Maker&apos;s web page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens %1 in the web browser.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::MainForm</name>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list was not saved; Lintervale stays open.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Adding .torrent files: %1 of %2 ...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Added %1 of %2 .torrent files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add .torrent(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chooses .torrent files to add to the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Removes every torrent from the list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quaverize!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plays a note and opens the magnet links of the selected rows.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quiet mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows no message boxes for what goes wrong: the status line tells.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close to &amp;tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Closing the window hides it in the notification area; Exit in its menu ends the program.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Fetch more trackers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fetches further trackers for every torrent that is added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto-&amp;open added files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens the magnet link of every torrent that is added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Associate &amp;with torrents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Makes Lintervale the program that opens .torrent files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start at logi&amp;n</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Starts Lintervale in the notification area when you log in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save on exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keeps the list from one run to the next.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit tracker list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete trackers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy to clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tracker sources…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list file could not be read and was moved aside to &quot;%1&quot;; the next save writes a new one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1. The list is not saved over it while Lintervale runs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list is saved again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list could not be saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list was not saved; it is tried again at the next change.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The options were not saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 rows were not put back: their torrents are listed again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete trackers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit tracker list</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::MessageBoxes</name>
    <message>
        <source>Add .torrent(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.torrent (*.torrent)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::QrCodeDialog</name>
    <message>
        <source>QR code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The magnet link as a QR code, for a phone&apos;s camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Magnet link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Puts the QR code on the clipboard as an image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save as PNG...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saves the QR code as a PNG image file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The image is on the clipboard.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG image (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save the image to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>magnet link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This link is too long for a QR code.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::TorrentDownload</name>
    <message>
        <source>it was sent on to %1, which is not an http or https address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it took longer than %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>only http and https addresses can be downloaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file is larger than %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>nothing came for %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it was sent on more than %1 times.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the server answered %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the server answered %1 %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not download %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::TrackerFetcher</name>
    <message>
        <source>&amp;Get trackers from %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>lintervale::TrackerSourcesDialog</name>
    <message>
        <source>Tracker sources</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none: the tracker list is used</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The base address of a tracker-search service, asked for each torrent&apos;s hash.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the address&apos;s host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The name the menu gives the service.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracker list address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The address of a public list of trackers, used while no service is set.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A tracker-search service is asked for each torrent&apos;s hash. Without a service address, trackers come from the tracker list, fetched once while Lintervale runs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service &amp;address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service &amp;name:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tracker &amp;list address:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The service address must start with http:// or https:// and name a host.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The tracker list address must start with http:// or https:// and name a host.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The tracker sources could not be saved in %1. They hold until Lintervale ends.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
