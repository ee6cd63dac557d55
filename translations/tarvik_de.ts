<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AssistiveTexts</name>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>The task text that New adds and Update writes into the selected entry</source>
        <translation>Der Aufgabentext, den „Neu“ hinzufügt und „Ändern“ in den ausgewählten Eintrag schreibt</translation>
    </message>
    <message>
        <source>The user that New and Update give the entry</source>
        <translation>Der Benutzer, den „Neu“ und „Ändern“ dem Eintrag geben</translation>
    </message>
    <message>
        <source>Adds the task as a new entry to the current list</source>
        <translation>Fügt die Aufgabe als neuen Eintrag zur aktuellen Liste hinzu</translation>
    </message>
    <message>
        <source>Writes the task and the user into the selected entry</source>
        <translation>Schreibt Aufgabe und Benutzer in den ausgewählten Eintrag</translation>
    </message>
    <message>
        <source>Removes the selected entry after asking</source>
        <translation>Entfernt den ausgewählten Eintrag nach einer Rückfrage</translation>
    </message>
    <message>
        <source>New adds tasks to the Tasks list</source>
        <translation>„Neu“ fügt Aufgaben zur Liste „Aufgaben“ hinzu</translation>
    </message>
    <message>
        <source>New adds questions to the Tasks list</source>
        <translation>„Neu“ fügt Fragen zur Liste „Aufgaben“ hinzu</translation>
    </message>
    <message>
        <source>Selecting an entry shows it for editing; the menu key changes its status</source>
        <translation>Ein ausgewählter Eintrag wird zum Bearbeiten angezeigt; die Menütaste ändert seinen Status</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Usage: tarvik [FILE]
  or:  tarvik --list [--format=FORMAT] FILE
  or:  tarvik --add TEXT [--user NAME] [--question] FILE
  or:  tarvik --import SOURCE [--format=FORMAT] [--user NAME] FILE
  or:  tarvik --pdf OUT [--tab NAME] FILE
  or:  tarvik --add-window [FILE]
Keeps a to-do list in a task-list file (.tvk).

  FILE           the task-list file to open; all arguments together,
                 joined with blanks, are its path
  --list FILE    print the entries of FILE, one line of TAB-separated
                 fields each, under a heading for each list
  --format=FORMAT  with --list: tsv (the default), csv, json, todotxt
                 or markdown; with --import: todotxt, csv or text
                 (guessed from SOURCE when not given)
  --add TEXT     add TEXT to FILE as a new task, right below the header,
                 changing nothing else; \n in TEXT is a line break;
                 TEXT - adds one entry per line of standard input
  --user NAME    the user of the new entries (default: your full name
                 or login)
  --question     add a question instead of a task
  --import SOURCE  add the entries of SOURCE to FILE: a todo.txt file,
                 a CSV file as --format=csv writes it, or plain text
                 with one task per line
  --pdf OUT      write the Tasks list of FILE as a PDF file to OUT
  --tab NAME     with --pdf: the list to print (Tasks, Completed,
                 Unresolved, Information or Requests)
  --add-window   open a small window that adds one entry to FILE
                 (asking for the file when none is given)
  --help         show this help
  --version      show the version

Keys in the window, besides the menus&apos; Alt keys:
  Ctrl+S        save
  Ctrl+Shift+S  save under another name
  Ctrl+O        open a task-list file
  Ctrl+P        print the list on the current tab
  Ctrl+Q        close the window; so does Ctrl+W
  Delete        delete the selected entry (in a list)
  Ctrl+Return   add the typed task as a new entry (in the task box)
  Alt+U         Update while working in the editing pane,
                the Unresolved tab elsewhere
  Ctrl+Z        undo the last change of an entry
  Ctrl+Y        redo it; so does Ctrl+Shift+Z
  Ctrl+F        find: show only the entries that contain a text;
                Enter and Shift+Enter go to the next and the
                previous one, Escape shows all again
  F5            read the file again
  Ctrl+Tab      the next tab; so does Ctrl+Page Down
  Ctrl+Shift+Tab
                the previous tab; so does Ctrl+Page Up
  Alt+1 to 5    the first to the fifth tab; a tab shown by a key
                gives its list the focus
  Home, End     the first and the last tab (in the tab strip)
  Ctrl+Shift+1 to 5
                sort the current list by its first to fifth column,
                as a click on its header does
  A letter      in the status menu: the status it begins, or the
                next of those that share it
A .tvk file dropped on the window opens as with File Open.

Qt&apos;s own options, such as -style NAME, -platform NAME or -reverse, go to
Qt; the words that remain form the path.

Exit status of --list: 0 when the whole file was read, 1 when reading
stopped at a failure, 2 for a usage error, 3 when the output failed.
--add, --import and --pdf: 0 when done, 1 when refused or failed (the
reason goes to standard error and nothing is written), 2 for a usage
error.
</source>
        <translation>Aufruf: tarvik [FILE]
  oder: tarvik --list [--format=FORMAT] FILE
  oder: tarvik --add TEXT [--user NAME] [--question] FILE
  oder: tarvik --import SOURCE [--format=FORMAT] [--user NAME] FILE
  oder: tarvik --pdf OUT [--tab NAME] FILE
  oder: tarvik --add-window [FILE]
Führt eine Aufgabenliste in einer Aufgabenlisten-Datei (.tvk).

  FILE           die zu öffnende Aufgabenlisten-Datei; alle Argumente
                 zusammen, durch Leerzeichen verbunden, sind ihr Pfad
  --list FILE    die Einträge von FILE ausgeben, je eine Zeile mit durch
                 TAB getrennten Feldern, unter einer Überschrift je Liste
  --format=FORMAT  mit --list: tsv (die Vorgabe), csv, json, todotxt
                 oder markdown; mit --import: todotxt, csv oder text
                 (ohne Angabe aus SOURCE erraten)
  --add TEXT     TEXT als neue Aufgabe direkt unter der Kopfzeile in FILE
                 einfügen, sonst nichts ändern; \n in TEXT ist ein
                 Zeilenumbruch; TEXT - fügt je Zeile der Standardeingabe
                 einen Eintrag hinzu
  --user NAME    der Benutzer der neuen Einträge (Vorgabe: Ihr voller
                 Name oder Anmeldename)
  --question     eine Frage statt einer Aufgabe hinzufügen
  --import SOURCE  die Einträge von SOURCE zu FILE hinzufügen: eine
                 todo.txt-Datei, eine CSV-Datei, wie --format=csv sie
                 schreibt, oder reiner Text mit einer Aufgabe je Zeile
  --pdf OUT      die Liste „Aufgaben“ von FILE als PDF-Datei nach OUT
                 schreiben
  --tab NAME     mit --pdf: die zu druckende Liste (Tasks, Completed,
                 Unresolved, Information oder Requests)
  --add-window   ein kleines Fenster öffnen, das FILE einen Eintrag
                 hinzufügt (ohne FILE fragt es nach der Datei)
  --help         diese Hilfe anzeigen
  --version      die Version anzeigen

Tasten im Fenster, neben den Alt-Tasten der Menüs:
  Ctrl+S        speichern
  Ctrl+Shift+S  unter anderem Namen speichern
  Ctrl+O        eine Aufgabenlisten-Datei öffnen
  Ctrl+P        die Liste der aktuellen Registerkarte drucken
  Ctrl+Q        das Fenster schließen; ebenso Ctrl+W
  Delete        den ausgewählten Eintrag löschen (in einer Liste)
  Ctrl+Return   die eingegebene Aufgabe als neuen Eintrag hinzufügen
                (im Aufgabenfeld)
  Alt+Ä         „Ändern“; Alt+U zeigt die Registerkarte „Ungeklärt“
  Ctrl+Z        die letzte Änderung eines Eintrags rückgängig machen
  Ctrl+Y        sie wiederherstellen; ebenso Ctrl+Shift+Z
  Ctrl+F        suchen: nur die Einträge zeigen, die einen Text enthalten;
                Enter und Shift+Enter gehen zum nächsten und zum
                vorigen, Escape zeigt wieder alle
  F5            die Datei neu lesen
  Ctrl+Tab      die nächste Registerkarte; ebenso Ctrl+Page Down
  Ctrl+Shift+Tab
                die vorige Registerkarte; ebenso Ctrl+Page Up
  Alt+1 bis 5   die erste bis fünfte Registerkarte; eine per Taste
                gezeigte Registerkarte gibt ihrer Liste den Fokus
  Home, End     die erste und die letzte Registerkarte (in der Leiste
                der Registerkarten)
  Ctrl+Shift+1 bis 5
                die aktuelle Liste nach ihrer ersten bis fünften Spalte
                sortieren, wie ein Klick auf ihren Spaltenkopf
  Buchstabe     im Statusmenü: der Status mit diesem Anfangsbuchstaben,
                bei mehreren der nächste davon
Eine auf das Fenster gezogene .tvk-Datei wird wie mit Datei Öffnen geöffnet.

Qt-eigene Optionen wie -style NAME, -platform NAME oder -reverse gehen an
Qt; die übrigen Wörter bilden den Pfad.

Rückgabewert von --list: 0, wenn die ganze Datei gelesen wurde, 1, wenn das
Lesen an einem Fehler abbrach, 2 bei falschem Aufruf, 3, wenn die Ausgabe
fehlschlug.
--add, --import und --pdf: 0 bei Erfolg, 1 bei Ablehnung oder Fehler (der
Grund geht an die Standardfehlerausgabe, und nichts wird geschrieben), 2 bei
falschem Aufruf.
</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 braucht einen Wert</translation>
    </message>
    <message>
        <source>unknown --list format &apos;%1&apos;</source>
        <translation>unbekanntes Format für --list: „%1“</translation>
    </message>
    <message>
        <source>unknown --import format &apos;%1&apos;</source>
        <translation>unbekanntes Format für --import: „%1“</translation>
    </message>
    <message>
        <source>%1: only one FILE may be given</source>
        <translation>%1: FILE darf nur einmal angegeben werden</translation>
    </message>
    <message>
        <source>%1: FILE is missing</source>
        <translation>%1: FILE fehlt</translation>
    </message>
    <message>
        <source>tarvik: %1: nothing written: %2
</source>
        <translation>tarvik: %1: nichts geschrieben: %2
</translation>
    </message>
    <message>
        <source>tarvik: no entry on standard input; nothing written
</source>
        <translation>tarvik: kein Eintrag in der Standardeingabe; nichts geschrieben
</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>tarvik: %1: %2 Skipped.
</source>
        <translation>tarvik: %1: %2 Übersprungen.
</translation>
    </message>
    <message>
        <source>%1 holds no entry.</source>
        <translation>%1 enthält keinen Eintrag.</translation>
    </message>
    <message>
        <source>Added 1 entry.
</source>
        <translation>1 Eintrag hinzugefügt.
</translation>
    </message>
    <message>
        <source>Added %1 entries.
</source>
        <translation>%1 Einträge hinzugefügt.
</translation>
    </message>
    <message>
        <source>unknown --tab list &apos;%1&apos;</source>
        <translation>unbekannte Liste für --tab: „%1“</translation>
    </message>
    <message>
        <source>tarvik: %1
Try &apos;tarvik --help&apos; for more information.
</source>
        <translation>tarvik: %1
„tarvik --help“ gibt weitere Informationen.
</translation>
    </message>
</context>
<context>
    <name>EditJournal</name>
    <message>
        <source>Unsaved changes cannot be kept in %1: %2</source>
        <translation>Nicht gespeicherte Änderungen können nicht in %1 festgehalten werden: %2</translation>
    </message>
</context>
<context>
    <name>FileAccess</name>
    <message>
        <source>The file may be damaged; its old contents are in %1.</source>
        <translation>Die Datei ist möglicherweise beschädigt; ihr alter Inhalt liegt in %1.</translation>
    </message>
    <message>
        <source>The path names a folder, not a file.</source>
        <translation>Der Pfad bezeichnet einen Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>The path names a device, pipe or socket, not a file.</source>
        <translation>Der Pfad bezeichnet ein Gerät, eine Pipe oder einen Socket, keine Datei.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Find in task or user</source>
        <translation>In Aufgabe oder Benutzer suchen</translation>
    </message>
    <message>
        <source>Close find</source>
        <translation>Suche schließen</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Schließen (Esc)</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Suchen:</translation>
    </message>
    <message>
        <source>No entries match</source>
        <translation>Keine passenden Einträge</translation>
    </message>
</context>
<context>
    <name>GioFileAssociations</name>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>%1 did not finish.</source>
        <translation>%1 wurde nicht beendet.</translation>
    </message>
    <message>
        <source>exit code %1</source>
        <translation>Rückgabewert %1</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 ist fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>The desktop does not accept %1 as a program that opens files.</source>
        <translation>Die Arbeitsumgebung nimmt %1 nicht als Programm zum Öffnen von Dateien an.</translation>
    </message>
    <message>
        <source>The desktop still opens .%1 files with %2.</source>
        <translation>Die Arbeitsumgebung öffnet .%1-Dateien weiterhin mit %2.</translation>
    </message>
    <message>
        <source>The desktop does not accept %1 as a program that opens files: the name %2 is not UTF-8 text, and desktop entries can only hold UTF-8.</source>
        <translation>Die Arbeitsumgebung nimmt %1 nicht als Programm zum Öffnen von Dateien an: Der Name %2 ist kein UTF-8-Text, und Desktop-Einträge können nur UTF-8 enthalten.</translation>
    </message>
    <message>
        <source>The desktop still finds no program for .%1 files.</source>
        <translation>Die Arbeitsumgebung findet weiterhin kein Programm für .%1-Dateien.</translation>
    </message>
</context>
<context>
    <name>HeaderAccessible</name>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Sorts the list by this column; again, the other way round</source>
        <translation>Sortiert die Liste nach dieser Spalte; ein weiteres Mal umgekehrt</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>Line %1 is not UTF-8 text.</source>
        <translation>Zeile %1 ist kein UTF-8-Text.</translation>
    </message>
    <message>
        <source>Line %1 has a quoted field that does not end.</source>
        <translation>Zeile %1 hat ein Feld in Anführungszeichen, das nicht endet.</translation>
    </message>
    <message>
        <source>Line %1 has %2 fields instead of 7.</source>
        <translation>Zeile %1 hat %2 Felder statt 7.</translation>
    </message>
    <message>
        <source>Line %1 has no status number.</source>
        <translation>Zeile %1 hat keine Statusnummer.</translation>
    </message>
</context>
<context>
    <name>JournalFolder</name>
    <message>
        <source>Unsaved changes cannot be kept in %1: the folder must be yours alone.</source>
        <translation>Nicht gespeicherte Änderungen können nicht in %1 festgehalten werden: Der Ordner muss allein Ihnen gehören.</translation>
    </message>
</context>
<context>
    <name>ListPrinter</name>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>Hinzugefügt</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Bearbeitet</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>%1 is there already and is no PDF file.</source>
        <translation>%1 ist bereits vorhanden und keine PDF-Datei.</translation>
    </message>
    <message>
        <source>The PDF file could not be laid out.</source>
        <translation>Das Layout der PDF-Datei konnte nicht erstellt werden.</translation>
    </message>
</context>
<context>
    <name>Listing</name>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>tarvik: %1: nothing written: %2
</source>
        <translation>tarvik: %1: nichts geschrieben: %2
</translation>
    </message>
</context>
<context>
    <name>LongTaskPreview</name>
    <message>
        <source>Show all</source>
        <translation>Alles anzeigen</translation>
    </message>
</context>
<context>
    <name>MimeAppsList</name>
    <message>
        <source>%1 cannot be read, so it was left as it is: %2</source>
        <translation>%1 kann nicht gelesen werden und bleibt daher unverändert: %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>OutsideWriters</name>
    <message>
        <source>It changed again while it was being read.</source>
        <translation>Sie hat sich während des Lesens erneut geändert.</translation>
    </message>
    <message>
        <source>It is still being written.</source>
        <translation>Sie wird noch geschrieben.</translation>
    </message>
    <message>
        <source>It is not there.</source>
        <translation>Sie ist nicht vorhanden.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Sie ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>It is not a task list.</source>
        <translation>Sie ist keine Aufgabenliste.</translation>
    </message>
    <message>
        <source>The file could not be read again completely, so the list stays as it was.</source>
        <translation>Die Datei konnte nicht vollständig neu gelesen werden, daher bleibt die Liste, wie sie war.</translation>
    </message>
    <message>
        <source>A sync tool left a conflicting copy of this list beside it: %1</source>
        <translation>Ein Synchronisierungsprogramm hat neben dieser Liste eine Konfliktkopie hinterlassen: %1</translation>
    </message>
    <message>
        <source>Add the entries that only the copy holds to this list?</source>
        <translation>Die Einträge, die nur die Kopie enthält, zu dieser Liste hinzufügen?</translation>
    </message>
    <message>
        <source>The copy could not be read completely, so nothing of it was added.</source>
        <translation>Die Kopie konnte nicht vollständig gelesen werden, daher wurde nichts aus ihr hinzugefügt.</translation>
    </message>
    <message>
        <source>The conflicting copy could not be moved to the trash: %1</source>
        <translation>Die Konfliktkopie konnte nicht in den Papierkorb verschoben werden: %1</translation>
    </message>
    <message>
        <source>It stays in %1.</source>
        <translation>Sie bleibt in %1.</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>The list could not be printed.</source>
        <translation>Die Liste konnte nicht gedruckt werden.</translation>
    </message>
    <message>
        <source>Printing the list…</source>
        <translation>Die Liste wird gedruckt…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>The folder %1 is not private: it must be your own folder, not a link, and closed to others (mode 0700). Tarvik keeps nothing in it and takes nothing from it.</source>
        <translation>Der Ordner %1 ist nicht privat: Er muss Ihr eigener Ordner sein, kein Link, und für andere gesperrt (Modus 0700). Tarvik legt nichts darin ab und übernimmt nichts daraus.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: %2</source>
        <translation>Der Ordner %1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>%1 in the folder %2 is not a plain file of yours with a single name, so nothing is taken from it.</source>
        <translation>%1 im Ordner %2 ist keine gewöhnliche Datei von Ihnen mit nur einem Namen, daher wird nichts daraus übernommen.</translation>
    </message>
</context>
<context>
    <name>QuickAdd</name>
    <message>
        <source>It is not a regular file.</source>
        <translation>Sie ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>The file kept changing while it was read.</source>
        <translation>Die Datei hat sich während des Lesens immer wieder geändert.</translation>
    </message>
    <message>
        <source>A save of this file did not finish; open it in Tarvik to restore or discard %1.</source>
        <translation>Ein Speichern dieser Datei wurde nicht abgeschlossen; öffnen Sie sie in Tarvik, um %1 wiederherzustellen oder zu verwerfen.</translation>
    </message>
    <message>
        <source>Another program changed the file meanwhile.</source>
        <translation>Ein anderes Programm hat die Datei inzwischen geändert.</translation>
    </message>
</context>
<context>
    <name>QuickAddWindow</name>
    <message>
        <source>&amp;Question</source>
        <translation>&amp;Frage</translation>
    </message>
    <message>
        <source>Add an entry to %1</source>
        <translation>Eintrag zu %1 hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Task</source>
        <translation>A&amp;ufgabe</translation>
    </message>
    <message>
        <source>&amp;User</source>
        <translation>&amp;Benutzer</translation>
    </message>
    <message>
        <source>The entry could not be added: %1</source>
        <translation>Der Eintrag konnte nicht hinzugefügt werden: %1</translation>
    </message>
</context>
<context>
    <name>SaveBackup</name>
    <message>
        <source>No backup could be made in %1: %2</source>
        <translation>In %1 konnte keine Sicherungskopie angelegt werden: %2</translation>
    </message>
    <message>
        <source>An earlier save of this file did not finish, and its old contents are still in %1. Open the file again to restore them or let them go.</source>
        <translation>Ein früheres Speichern dieser Datei wurde nicht abgeschlossen, ihr alter Inhalt liegt noch in %1. Öffnen Sie die Datei erneut, um ihn wiederherzustellen oder zu verwerfen.</translation>
    </message>
    <message>
        <source>Another file has taken the place of the one saved.</source>
        <translation>Eine andere Datei hat den Platz der gespeicherten eingenommen.</translation>
    </message>
</context>
<context>
    <name>SaveLock</name>
    <message>
        <source>Another Tarvik window is still saving this file.</source>
        <translation>Ein anderes Tarvik-Fenster speichert diese Datei noch.</translation>
    </message>
</context>
<context>
    <name>TaskDocument</name>
    <message>
        <source>No file specified to save to! Please select a file!</source>
        <translation>Keine Datei zum Speichern angegeben! Bitte wählen Sie eine Datei!</translation>
    </message>
    <message>
        <source>(Cancel will abort save)</source>
        <translation>(Abbrechen bricht das Speichern ab)</translation>
    </message>
    <message>
        <source>No file specified, all changes will be lost!</source>
        <translation>Keine Datei angegeben, alle Änderungen gehen verloren!</translation>
    </message>
    <message>
        <source>The file was renamed or moved since it was read.</source>
        <translation>Die Datei wurde seit dem Lesen umbenannt oder verschoben.</translation>
    </message>
    <message>
        <source>The file was replaced by something that is not a task list.</source>
        <translation>Die Datei wurde durch etwas ersetzt, das keine Aufgabenliste ist.</translation>
    </message>
    <message>
        <source>The file was changed elsewhere and could not be read completely, so nothing was saved.</source>
        <translation>Die Datei wurde anderswo geändert und konnte nicht vollständig gelesen werden, daher wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>The file had been changed elsewhere. Its changes were merged into this list before saving.
Entries that came in: %1
Entries that went away: %2
Entries kept twice (changed on both sides): %3</source>
        <translation>Die Datei war anderswo geändert worden. Ihre Änderungen wurden vor dem Speichern in diese Liste übernommen.
Hinzugekommene Einträge: %1
Weggefallene Einträge: %2
Doppelt behaltene Einträge (auf beiden Seiten geändert): %3</translation>
    </message>
    <message>
        <source>Nothing was saved. Save the list under another name?</source>
        <translation>Es wurde nichts gespeichert. Die Liste unter einem anderen Namen speichern?</translation>
    </message>
    <message>
        <source>ToDo-list has been edited! Save Changes?</source>
        <translation>Die Aufgabenliste wurde bearbeitet! Änderungen speichern?</translation>
    </message>
    <message>
        <source>ToDo-list has been edited! Save changes?</source>
        <translation>Die Aufgabenliste wurde bearbeitet! Änderungen speichern?</translation>
    </message>
    <message>
        <source>Saving this file did not finish last time. Its contents from before that save are in %1.</source>
        <translation>Das letzte Speichern dieser Datei wurde nicht abgeschlossen. Ihr Inhalt von vor diesem Speichern liegt in %1.</translation>
    </message>
    <message>
        <source>Restore them?</source>
        <translation>Wiederherstellen?</translation>
    </message>
    <message>
        <source>The old contents could not be restored: %1</source>
        <translation>Der alte Inhalt konnte nicht wiederhergestellt werden: %1</translation>
    </message>
    <message>
        <source>They are still in %1.</source>
        <translation>Er liegt weiterhin in %1.</translation>
    </message>
    <message>
        <source>The backup could not be moved to the trash: %1</source>
        <translation>Die Sicherungskopie konnte nicht in den Papierkorb verschoben werden: %1</translation>
    </message>
    <message>
        <source>It stays in %1.</source>
        <translation>Sie bleibt in %1.</translation>
    </message>
    <message>
        <source>It kept changing while the list was being saved.</source>
        <translation>Sie hat sich während des Speicherns der Liste immer wieder geändert.</translation>
    </message>
    <message>
        <source>Entries changed there: %1</source>
        <translation>Anderswo geänderte Einträge: %1</translation>
    </message>
    <message>
        <source>Entries deleted here but changed there, so kept: %1</source>
        <translation>Hier gelöschte, aber anderswo geänderte und daher behaltene Einträge: %1</translation>
    </message>
    <message>
        <source>This list has changes that were not saved when Tarvik last stopped (%1 changes, the last at %2). Restore them?</source>
        <translation>Diese Liste hat Änderungen, die nicht gespeichert waren, als Tarvik zuletzt beendet wurde (%1 Änderungen, die letzte vom %2). Wiederherstellen?</translation>
    </message>
    <message>
        <source>The list changed since then, so some of these changes no longer fit it. Every entry they added or changed is back as a new entry; some may be there twice.</source>
        <translation>Die Liste hat sich seitdem geändert, daher passen einige dieser Änderungen nicht mehr zu ihr. Jeder Eintrag, den sie hinzugefügt oder geändert haben, ist als neuer Eintrag wieder da; manche sind vielleicht doppelt vorhanden.</translation>
    </message>
    <message>
        <source>The unsaved changes could not be moved to the trash: %1</source>
        <translation>Die nicht gespeicherten Änderungen konnten nicht in den Papierkorb verschoben werden: %1</translation>
    </message>
</context>
<context>
    <name>TaskFile</name>
    <message>
        <source>Error opening file!</source>
        <translation>Fehler beim Öffnen der Datei!</translation>
    </message>
    <message>
        <source>Error saving to file!</source>
        <translation>Fehler beim Speichern der Datei!</translation>
    </message>
</context>
<context>
    <name>TaskFileReader</name>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>Line 1 is not the header &quot;%1&quot;.</source>
        <translation>Zeile 1 ist nicht die Kopfzeile „%1“.</translation>
    </message>
    <message>
        <source>Line %1 is empty.</source>
        <translation>Zeile %1 ist leer.</translation>
    </message>
    <message>
        <source>Line %1 has more than five fields.</source>
        <translation>Zeile %1 hat mehr als fünf Felder.</translation>
    </message>
    <message>
        <source>Line %1 holds bytes that are not valid UTF-8.</source>
        <translation>Zeile %1 enthält Bytes, die kein gültiges UTF-8 sind.</translation>
    </message>
    <message>
        <source>Line %1: the status is too large.</source>
        <translation>Zeile %1: Der Status ist zu groß.</translation>
    </message>
    <message>
        <source>Line %1: the status holds text that is not part of a number.</source>
        <translation>Zeile %1: Der Status enthält Text, der nicht zu einer Zahl gehört.</translation>
    </message>
    <message>
        <source>Line %1 has fewer than five fields.</source>
        <translation>Zeile %1 hat weniger als fünf Felder.</translation>
    </message>
    <message>
        <source>The file ends inside a character: it is still being written, or it was cut short.</source>
        <translation>Die Datei endet mitten in einem Zeichen: Sie wird noch geschrieben, oder sie wurde abgeschnitten.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>Physical Memory Available to %1:</source>
        <translation>Für %1 verfügbarer Arbeitsspeicher:</translation>
    </message>
    <message>
        <source>Page File Size:</source>
        <translation>Größe der Auslagerungsdatei:</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1    Version %2.%3.%4</source>
        <translation>%1    Version %2.%3.%4</translation>
    </message>
    <message>
        <source>%1  © %2</source>
        <translation>%1  © %2</translation>
    </message>
    <message>
        <source>%1®</source>
        <translation>%1®</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Complete</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation>Offen</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>Ungültig</translation>
    </message>
    <message>
        <source>Unresolved</source>
        <translation>Ungeklärt</translation>
    </message>
    <message>
        <source>Moved</source>
        <translation>Verschoben</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Frage</translation>
    </message>
    <message>
        <source>Request</source>
        <translation>Anfrage</translation>
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
        <source>&amp;Open..</source>
        <translation>Ö&amp;ffnen..</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As..</source>
        <translation>Speichern &amp;unter..</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>&amp;Tasks</source>
        <translation>&amp;Aufgaben</translation>
    </message>
    <message>
        <source>&amp;Completed</source>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>&amp;Unresolved</source>
        <translation>&amp;Ungeklärt</translation>
    </message>
    <message>
        <source>&amp;Requests</source>
        <translation>Anf&amp;ragen</translation>
    </message>
    <message>
        <source>Entry Details</source>
        <translation>Eintragsdetails</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>Entry Editing</source>
        <translation>Eintrag bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>&amp;Ändern</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>New Task Type</source>
        <translation>Art neuer Aufgaben</translation>
    </message>
    <message>
        <source>Normal Task</source>
        <translation>Normale Aufgabe</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>Hinzugefügt</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Bearbeitet</translation>
    </message>
    <message>
        <source>A simple ToDo tool</source>
        <translation>Ein einfaches Aufgabenprogramm</translation>
    </message>
    <message>
        <source>Remove selected entry?</source>
        <translation>Ausgewählten Eintrag entfernen?</translation>
    </message>
    <message>
        <source>Another program changed or removed this entry in the file, so it was not updated. The typed text stays in the box.</source>
        <translation>Ein anderes Programm hat diesen Eintrag in der Datei geändert oder entfernt, daher wurde Ihre Änderung nicht übernommen. Der eingegebene Text bleibt im Feld.</translation>
    </message>
    <message>
        <source>Remove the %1 selected entries?</source>
        <translation>Die %1 ausgewählten Einträge entfernen?</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>modFileAssociations</name>
    <message>
        <source>The file association has been made!</source>
        <translation>Die Dateizuordnung wurde eingerichtet!</translation>
    </message>
    <message>
        <source>The file association could not be made!</source>
        <translation>Die Dateizuordnung konnte nicht eingerichtet werden!</translation>
    </message>
    <message>
        <source>ToDo-files(*.tvk) are not associated with Tarvik!</source>
        <translation>Aufgabendateien (*.tvk) sind nicht mit Tarvik verknüpft!</translation>
    </message>
    <message>
        <source>Do You want to associate them now?</source>
        <translation>Möchten Sie sie jetzt verknüpfen?</translation>
    </message>
</context>
</TS>
