<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>AssistiveTexts</name>
    <message>
        <source>Task</source>
        <translation>Tâche</translation>
    </message>
    <message>
        <source>The task text that New adds and Update writes into the selected entry</source>
        <translation>Le texte de la tâche que « Nouveau » ajoute et que « Modifier » écrit dans l’entrée sélectionnée</translation>
    </message>
    <message>
        <source>The user that New and Update give the entry</source>
        <translation>L’utilisateur que « Nouveau » et « Modifier » donnent à l’entrée</translation>
    </message>
    <message>
        <source>Adds the task as a new entry to the current list</source>
        <translation>Ajoute la tâche comme nouvelle entrée à la liste affichée</translation>
    </message>
    <message>
        <source>Writes the task and the user into the selected entry</source>
        <translation>Écrit la tâche et l’utilisateur dans l’entrée sélectionnée</translation>
    </message>
    <message>
        <source>Removes the selected entry after asking</source>
        <translation>Supprime l’entrée sélectionnée après confirmation</translation>
    </message>
    <message>
        <source>New adds tasks to the Tasks list</source>
        <translation>« Nouveau » ajoute des tâches à la liste « Tâches »</translation>
    </message>
    <message>
        <source>New adds questions to the Tasks list</source>
        <translation>« Nouveau » ajoute des questions à la liste « Tâches »</translation>
    </message>
    <message>
        <source>Selecting an entry shows it for editing; the menu key changes its status</source>
        <translation>Une entrée sélectionnée s’affiche pour modification ; la touche Menu change son statut</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Statut</translation>
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
        <translation>Utilisation : tarvik [FILE]
         ou : tarvik --list [--format=FORMAT] FILE
         ou : tarvik --add TEXT [--user NAME] [--question] FILE
         ou : tarvik --import SOURCE [--format=FORMAT] [--user NAME] FILE
         ou : tarvik --pdf OUT [--tab NAME] FILE
         ou : tarvik --add-window [FILE]
Tient une liste de tâches dans un fichier de liste de tâches (.tvk).

  FILE           le fichier de liste de tâches à ouvrir ; tous les
                 arguments, joints par des espaces, forment son chemin
  --list FILE    affiche les entrées de FILE, une ligne de champs séparés
                 par des TAB chacune, sous un titre pour chaque liste
  --format=FORMAT  avec --list : tsv (par défaut), csv, json, todotxt
                 ou markdown ; avec --import : todotxt, csv ou text
                 (deviné d’après SOURCE s’il n’est pas indiqué)
  --add TEXT     ajoute TEXT à FILE comme nouvelle tâche, juste sous
                 l’en-tête, sans rien changer d’autre ; \n dans TEXT est
                 un saut de ligne ; TEXT - ajoute une entrée par ligne de
                 l’entrée standard
  --user NAME    l’utilisateur des nouvelles entrées (par défaut : votre
                 nom complet ou votre identifiant)
  --question     ajoute une question au lieu d’une tâche
  --import SOURCE  ajoute les entrées de SOURCE à FILE : un fichier
                 todo.txt, un fichier CSV tel que l’écrit --format=csv,
                 ou du texte brut avec une tâche par ligne
  --pdf OUT      écrit la liste « Tâches » de FILE en fichier PDF dans OUT
  --tab NAME     avec --pdf : la liste à imprimer (Tasks, Completed,
                 Unresolved, Information ou Requests)
  --add-window   ouvre une petite fenêtre qui ajoute une entrée à FILE
                 (et demande le fichier s’il n’est pas indiqué)
  --help         affiche cette aide
  --version      affiche la version

Touches dans la fenêtre, en plus des touches Alt des menus :
  Ctrl+S        enregistrer
  Ctrl+Shift+S  enregistrer sous un autre nom
  Ctrl+O        ouvrir un fichier de liste de tâches
  Ctrl+P        imprimer la liste de l’onglet affiché
  Ctrl+Q        fermer la fenêtre ; Ctrl+W aussi
  Delete        supprimer l’entrée sélectionnée (dans une liste)
  Ctrl+Return   ajouter la tâche saisie comme nouvelle entrée (dans le
                champ de la tâche)
  Alt+M         « Modifier » ; Alt+R affiche l’onglet « Non résolues »
  Ctrl+Z        annuler la dernière modification d’une entrée
  Ctrl+Y        la rétablir ; Ctrl+Shift+Z aussi
  Ctrl+F        rechercher : n’afficher que les entrées contenant un texte ;
                Enter et Shift+Enter vont à la suivante et à la
                précédente, Escape les affiche toutes de nouveau
  F5            relire le fichier
  Ctrl+Tab      l’onglet suivant ; Ctrl+Page Down aussi
  Ctrl+Shift+Tab
                l’onglet précédent ; Ctrl+Page Up aussi
  Alt+1 à 5     du premier au cinquième onglet ; un onglet affiché par
                une touche donne le focus à sa liste
  Home, End     le premier et le dernier onglet (dans la barre d’onglets)
  Ctrl+Shift+1 à 5
                trier la liste affichée selon sa première à cinquième
                colonne, comme un clic sur son en-tête
  Une lettre    dans le menu des statuts : le statut qui commence par
                cette lettre, ou le suivant de ceux qui commencent par elle
Un fichier .tvk déposé sur la fenêtre s’ouvre comme avec Fichier Ouvrir.

Les options propres à Qt, comme -style NAME, -platform NAME ou -reverse,
vont à Qt ; les mots restants forment le chemin.

Code de sortie de --list : 0 si tout le fichier a été lu, 1 si la lecture
s’est arrêtée sur une erreur, 2 pour une erreur d’utilisation, 3 si la sortie
a échoué.
--add, --import et --pdf : 0 si c’est fait, 1 en cas de refus ou d’échec (la
raison va sur la sortie d’erreur standard et rien n’est écrit), 2 pour une
erreur d’utilisation.
</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 demande une valeur</translation>
    </message>
    <message>
        <source>unknown --list format &apos;%1&apos;</source>
        <translation>format de --list inconnu : « %1 »</translation>
    </message>
    <message>
        <source>unknown --import format &apos;%1&apos;</source>
        <translation>format de --import inconnu : « %1 »</translation>
    </message>
    <message>
        <source>%1: only one FILE may be given</source>
        <translation>%1 : FILE ne peut être indiqué qu’une fois</translation>
    </message>
    <message>
        <source>%1: FILE is missing</source>
        <translation>%1 : FILE manque</translation>
    </message>
    <message>
        <source>tarvik: %1: nothing written: %2
</source>
        <translation>tarvik : %1 : rien n’a été écrit : %2
</translation>
    </message>
    <message>
        <source>tarvik: no entry on standard input; nothing written
</source>
        <translation>tarvik : l’entrée standard ne contient aucune entrée ; rien n’a été écrit
</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>Impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>tarvik: %1: %2 Skipped.
</source>
        <translation>tarvik : %1 : %2 Ignorée.
</translation>
    </message>
    <message>
        <source>%1 holds no entry.</source>
        <translation>%1 ne contient aucune entrée.</translation>
    </message>
    <message>
        <source>Added 1 entry.
</source>
        <translation>1 entrée ajoutée.
</translation>
    </message>
    <message>
        <source>Added %1 entries.
</source>
        <translation>%1 entrées ajoutées.
</translation>
    </message>
    <message>
        <source>unknown --tab list &apos;%1&apos;</source>
        <translation>liste de --tab inconnue : « %1 »</translation>
    </message>
    <message>
        <source>tarvik: %1
Try &apos;tarvik --help&apos; for more information.
</source>
        <translation>tarvik : %1
Essayez « tarvik --help » pour plus d’informations.
</translation>
    </message>
</context>
<context>
    <name>EditJournal</name>
    <message>
        <source>Unsaved changes cannot be kept in %1: %2</source>
        <translation>Les modifications non enregistrées ne peuvent pas être conservées dans %1 : %2</translation>
    </message>
</context>
<context>
    <name>FileAccess</name>
    <message>
        <source>The file may be damaged; its old contents are in %1.</source>
        <translation>Le fichier est peut-être endommagé ; son ancien contenu se trouve dans %1.</translation>
    </message>
    <message>
        <source>The path names a folder, not a file.</source>
        <translation>Le chemin désigne un dossier, pas un fichier.</translation>
    </message>
    <message>
        <source>The path names a device, pipe or socket, not a file.</source>
        <translation>Le chemin désigne un périphérique, un tube ou une socket, pas un fichier.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find</source>
        <translation>Rechercher</translation>
    </message>
    <message>
        <source>Find in task or user</source>
        <translation>Rechercher dans la tâche ou l’utilisateur</translation>
    </message>
    <message>
        <source>Close find</source>
        <translation>Fermer la recherche</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>Fermer (Échap)</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Rechercher :</translation>
    </message>
    <message>
        <source>No entries match</source>
        <translation>Aucune entrée ne correspond</translation>
    </message>
</context>
<context>
    <name>GioFileAssociations</name>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Impossible de créer le dossier %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>Impossible de lancer %1 : %2</translation>
    </message>
    <message>
        <source>%1 did not finish.</source>
        <translation>%1 ne s’est pas terminé.</translation>
    </message>
    <message>
        <source>exit code %1</source>
        <translation>code de sortie %1</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>Échec de %1 : %2</translation>
    </message>
    <message>
        <source>The desktop does not accept %1 as a program that opens files.</source>
        <translation>Le bureau n’accepte pas %1 comme programme pour ouvrir des fichiers.</translation>
    </message>
    <message>
        <source>The desktop still opens .%1 files with %2.</source>
        <translation>Le bureau ouvre toujours les fichiers .%1 avec %2.</translation>
    </message>
    <message>
        <source>The desktop does not accept %1 as a program that opens files: the name %2 is not UTF-8 text, and desktop entries can only hold UTF-8.</source>
        <translation>Le bureau n’accepte pas %1 comme programme pour ouvrir des fichiers : le nom %2 n’est pas du texte UTF-8, et les fichiers .desktop ne peuvent contenir que de l’UTF-8.</translation>
    </message>
    <message>
        <source>The desktop still finds no program for .%1 files.</source>
        <translation>Le bureau ne trouve toujours aucun programme pour les fichiers .%1.</translation>
    </message>
</context>
<context>
    <name>HeaderAccessible</name>
    <message>
        <source>Sort</source>
        <translation>Trier</translation>
    </message>
    <message>
        <source>Sorts the list by this column; again, the other way round</source>
        <translation>Trie la liste selon cette colonne ; une seconde fois, dans l’autre sens</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>Line %1 is not UTF-8 text.</source>
        <translation>La ligne %1 n’est pas du texte UTF-8.</translation>
    </message>
    <message>
        <source>Line %1 has a quoted field that does not end.</source>
        <translation>La ligne %1 a un champ entre guillemets qui ne se termine pas.</translation>
    </message>
    <message>
        <source>Line %1 has %2 fields instead of 7.</source>
        <translation>La ligne %1 a %2 champs au lieu de 7.</translation>
    </message>
    <message>
        <source>Line %1 has no status number.</source>
        <translation>La ligne %1 n’a pas de numéro de statut.</translation>
    </message>
</context>
<context>
    <name>JournalFolder</name>
    <message>
        <source>Unsaved changes cannot be kept in %1: the folder must be yours alone.</source>
        <translation>Les modifications non enregistrées ne peuvent pas être conservées dans %1 : le dossier doit n’appartenir qu’à vous.</translation>
    </message>
</context>
<context>
    <name>ListPrinter</name>
    <message>
        <source>Page %1</source>
        <translation>Page %1</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Statut</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Tâche</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>Ajoutée</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Modifiée</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>%1 is there already and is no PDF file.</source>
        <translation>%1 existe déjà et n’est pas un fichier PDF.</translation>
    </message>
    <message>
        <source>The PDF file could not be laid out.</source>
        <translation>La mise en page du fichier PDF a échoué.</translation>
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
        <translation>tarvik : %1 : rien n’a été écrit : %2
</translation>
    </message>
</context>
<context>
    <name>LongTaskPreview</name>
    <message>
        <source>Show all</source>
        <translation>Tout afficher</translation>
    </message>
</context>
<context>
    <name>MimeAppsList</name>
    <message>
        <source>%1 cannot be read, so it was left as it is: %2</source>
        <translation>%1 est illisible, il a donc été laissé tel quel : %2</translation>
    </message>
    <message>
        <source>Cannot create the folder %1.</source>
        <translation>Impossible de créer le dossier %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossible d’écrire %1 : %2</translation>
    </message>
</context>
<context>
    <name>OutsideWriters</name>
    <message>
        <source>It changed again while it was being read.</source>
        <translation>Il a encore changé pendant sa lecture.</translation>
    </message>
    <message>
        <source>It is still being written.</source>
        <translation>Il est encore en cours d’écriture.</translation>
    </message>
    <message>
        <source>It is not there.</source>
        <translation>Il n’existe pas.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Ce n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>It is not a task list.</source>
        <translation>Ce n’est pas une liste de tâches.</translation>
    </message>
    <message>
        <source>The file could not be read again completely, so the list stays as it was.</source>
        <translation>Le fichier n’a pas pu être relu entièrement ; la liste reste donc telle quelle.</translation>
    </message>
    <message>
        <source>A sync tool left a conflicting copy of this list beside it: %1</source>
        <translation>Un outil de synchronisation a laissé une copie en conflit de cette liste à côté d’elle : %1</translation>
    </message>
    <message>
        <source>Add the entries that only the copy holds to this list?</source>
        <translation>Ajouter à cette liste les entrées que seule la copie contient ?</translation>
    </message>
    <message>
        <source>The copy could not be read completely, so nothing of it was added.</source>
        <translation>La copie n’a pas pu être lue entièrement ; rien n’en a donc été ajouté.</translation>
    </message>
    <message>
        <source>The conflicting copy could not be moved to the trash: %1</source>
        <translation>La copie en conflit n’a pas pu être mise à la corbeille : %1</translation>
    </message>
    <message>
        <source>It stays in %1.</source>
        <translation>Elle reste dans %1.</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>The list could not be printed.</source>
        <translation>La liste n’a pas pu être imprimée.</translation>
    </message>
    <message>
        <source>Printing the list…</source>
        <translation>Impression de la liste…</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
</context>
<context>
    <name>PrivateFolder</name>
    <message>
        <source>The folder %1 is not private: it must be your own folder, not a link, and closed to others (mode 0700). Tarvik keeps nothing in it and takes nothing from it.</source>
        <translation>Le dossier %1 n’est pas privé : il doit être votre propre dossier, pas un lien, et fermé aux autres (mode 0700). Tarvik n’y garde rien et n’en reprend rien.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be used: %2</source>
        <translation>Le dossier %1 ne peut pas être utilisé : %2</translation>
    </message>
    <message>
        <source>%1 in the folder %2 is not a plain file of yours with a single name, so nothing is taken from it.</source>
        <translation>%1 dans le dossier %2 n’est pas un simple fichier à vous portant un seul nom ; rien n’en est donc repris.</translation>
    </message>
</context>
<context>
    <name>QuickAdd</name>
    <message>
        <source>It is not a regular file.</source>
        <translation>Ce n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The file kept changing while it was read.</source>
        <translation>Le fichier n’a cessé de changer pendant sa lecture.</translation>
    </message>
    <message>
        <source>A save of this file did not finish; open it in Tarvik to restore or discard %1.</source>
        <translation>Un enregistrement de ce fichier n’a pas abouti ; ouvrez-le dans Tarvik pour restaurer %1 ou y renoncer.</translation>
    </message>
    <message>
        <source>Another program changed the file meanwhile.</source>
        <translation>Un autre programme a modifié le fichier entre-temps.</translation>
    </message>
</context>
<context>
    <name>QuickAddWindow</name>
    <message>
        <source>&amp;Question</source>
        <translation>&amp;Question</translation>
    </message>
    <message>
        <source>Add an entry to %1</source>
        <translation>Ajouter une entrée à %1</translation>
    </message>
    <message>
        <source>&amp;Task</source>
        <translation>&amp;Tâche</translation>
    </message>
    <message>
        <source>&amp;User</source>
        <translation>&amp;Utilisateur</translation>
    </message>
    <message>
        <source>The entry could not be added: %1</source>
        <translation>L’entrée n’a pas pu être ajoutée : %1</translation>
    </message>
</context>
<context>
    <name>SaveBackup</name>
    <message>
        <source>No backup could be made in %1: %2</source>
        <translation>Impossible de faire une copie de sauvegarde dans %1 : %2</translation>
    </message>
    <message>
        <source>An earlier save of this file did not finish, and its old contents are still in %1. Open the file again to restore them or let them go.</source>
        <translation>Un enregistrement précédent de ce fichier n’a pas abouti, et son ancien contenu se trouve encore dans %1. Rouvrez le fichier pour le restaurer ou y renoncer.</translation>
    </message>
    <message>
        <source>Another file has taken the place of the one saved.</source>
        <translation>Un autre fichier a pris la place de celui qui a été enregistré.</translation>
    </message>
</context>
<context>
    <name>SaveLock</name>
    <message>
        <source>Another Tarvik window is still saving this file.</source>
        <translation>Une autre fenêtre de Tarvik est encore en train d’enregistrer ce fichier.</translation>
    </message>
</context>
<context>
    <name>TaskDocument</name>
    <message>
        <source>No file specified to save to! Please select a file!</source>
        <translation>Aucun fichier indiqué pour l’enregistrement ! Veuillez choisir un fichier !</translation>
    </message>
    <message>
        <source>(Cancel will abort save)</source>
        <translation>(Annuler interrompt l’enregistrement)</translation>
    </message>
    <message>
        <source>No file specified, all changes will be lost!</source>
        <translation>Aucun fichier indiqué, toutes les modifications seront perdues !</translation>
    </message>
    <message>
        <source>The file was renamed or moved since it was read.</source>
        <translation>Le fichier a été renommé ou déplacé depuis sa lecture.</translation>
    </message>
    <message>
        <source>The file was replaced by something that is not a task list.</source>
        <translation>Le fichier a été remplacé par autre chose qu’une liste de tâches.</translation>
    </message>
    <message>
        <source>The file was changed elsewhere and could not be read completely, so nothing was saved.</source>
        <translation>Le fichier a été modifié ailleurs et n’a pas pu être lu entièrement ; rien n’a donc été enregistré.</translation>
    </message>
    <message>
        <source>The file had been changed elsewhere. Its changes were merged into this list before saving.
Entries that came in: %1
Entries that went away: %2
Entries kept twice (changed on both sides): %3</source>
        <translation>Le fichier avait été modifié ailleurs. Ses modifications ont été fusionnées dans cette liste avant l’enregistrement.
Entrées arrivées : %1
Entrées disparues : %2
Entrées gardées en double (modifiées des deux côtés) : %3</translation>
    </message>
    <message>
        <source>Nothing was saved. Save the list under another name?</source>
        <translation>Rien n’a été enregistré. Enregistrer la liste sous un autre nom ?</translation>
    </message>
    <message>
        <source>ToDo-list has been edited! Save Changes?</source>
        <translation>La liste de tâches a été modifiée ! Enregistrer les modifications ?</translation>
    </message>
    <message>
        <source>ToDo-list has been edited! Save changes?</source>
        <translation>La liste de tâches a été modifiée ! Enregistrer les modifications ?</translation>
    </message>
    <message>
        <source>Saving this file did not finish last time. Its contents from before that save are in %1.</source>
        <translation>Le dernier enregistrement de ce fichier n’a pas abouti. Son contenu d’avant cet enregistrement se trouve dans %1.</translation>
    </message>
    <message>
        <source>Restore them?</source>
        <translation>Le restaurer ?</translation>
    </message>
    <message>
        <source>The old contents could not be restored: %1</source>
        <translation>L’ancien contenu n’a pas pu être restauré : %1</translation>
    </message>
    <message>
        <source>They are still in %1.</source>
        <translation>Il se trouve toujours dans %1.</translation>
    </message>
    <message>
        <source>The backup could not be moved to the trash: %1</source>
        <translation>La copie de sauvegarde n’a pas pu être mise à la corbeille : %1</translation>
    </message>
    <message>
        <source>It stays in %1.</source>
        <translation>Elle reste dans %1.</translation>
    </message>
    <message>
        <source>It kept changing while the list was being saved.</source>
        <translation>Il n’a cessé de changer pendant l’enregistrement de la liste.</translation>
    </message>
    <message>
        <source>Entries changed there: %1</source>
        <translation>Entrées modifiées ailleurs : %1</translation>
    </message>
    <message>
        <source>Entries deleted here but changed there, so kept: %1</source>
        <translation>Entrées supprimées ici mais modifiées ailleurs, donc gardées : %1</translation>
    </message>
    <message>
        <source>This list has changes that were not saved when Tarvik last stopped (%1 changes, the last at %2). Restore them?</source>
        <translation>Cette liste a des modifications qui n’étaient pas enregistrées quand Tarvik s’est arrêté la dernière fois (%1 modifications, la dernière le %2). Les restaurer ?</translation>
    </message>
    <message>
        <source>The list changed since then, so some of these changes no longer fit it. Every entry they added or changed is back as a new entry; some may be there twice.</source>
        <translation>La liste a changé depuis ; certaines de ces modifications ne lui correspondent donc plus. Chaque entrée qu’elles ont ajoutée ou modifiée est revenue comme nouvelle entrée ; certaines peuvent être en double.</translation>
    </message>
    <message>
        <source>The unsaved changes could not be moved to the trash: %1</source>
        <translation>Les modifications non enregistrées n’ont pas pu être mises à la corbeille : %1</translation>
    </message>
</context>
<context>
    <name>TaskFile</name>
    <message>
        <source>Error opening file!</source>
        <translation>Erreur à l’ouverture du fichier !</translation>
    </message>
    <message>
        <source>Error saving to file!</source>
        <translation>Erreur à l’enregistrement du fichier !</translation>
    </message>
</context>
<context>
    <name>TaskFileReader</name>
    <message>
        <source>The file is empty.</source>
        <translation>Le fichier est vide.</translation>
    </message>
    <message>
        <source>Line 1 is not the header &quot;%1&quot;.</source>
        <translation>La ligne 1 n’est pas l’en-tête « %1 ».</translation>
    </message>
    <message>
        <source>Line %1 is empty.</source>
        <translation>La ligne %1 est vide.</translation>
    </message>
    <message>
        <source>Line %1 has more than five fields.</source>
        <translation>La ligne %1 a plus de cinq champs.</translation>
    </message>
    <message>
        <source>Line %1 holds bytes that are not valid UTF-8.</source>
        <translation>La ligne %1 contient des octets qui ne sont pas de l’UTF-8 valide.</translation>
    </message>
    <message>
        <source>Line %1: the status is too large.</source>
        <translation>Ligne %1 : le statut est trop grand.</translation>
    </message>
    <message>
        <source>Line %1: the status holds text that is not part of a number.</source>
        <translation>Ligne %1 : le statut contient du texte qui ne fait pas partie d’un nombre.</translation>
    </message>
    <message>
        <source>Line %1 has fewer than five fields.</source>
        <translation>La ligne %1 a moins de cinq champs.</translation>
    </message>
    <message>
        <source>The file ends inside a character: it is still being written, or it was cut short.</source>
        <translation>Le fichier se termine au milieu d’un caractère : il est encore en cours d’écriture, ou il a été tronqué.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>Physical Memory Available to %1:</source>
        <translation>Mémoire physique disponible pour %1 :</translation>
    </message>
    <message>
        <source>Page File Size:</source>
        <translation>Taille du fichier d’échange :</translation>
    </message>
    <message>
        <source>&amp;Ok</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>À propos de %1</translation>
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
        <translation>%1 Ko</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Complete</source>
        <translation>Terminée</translation>
    </message>
    <message>
        <source>Incomplete</source>
        <translation>À faire</translation>
    </message>
    <message>
        <source>Invalid</source>
        <translation>Non valable</translation>
    </message>
    <message>
        <source>Unresolved</source>
        <translation>Non résolue</translation>
    </message>
    <message>
        <source>Moved</source>
        <translation>Déplacée</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Request</source>
        <translation>Demande</translation>
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
        <source>&amp;Open..</source>
        <translation>&amp;Ouvrir..</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message>
        <source>Save &amp;As..</source>
        <translation>Enregistrer &amp;sous..</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>A&amp;bout</source>
        <translation>À &amp;propos</translation>
    </message>
    <message>
        <source>&amp;Tasks</source>
        <translation>&amp;Tâches</translation>
    </message>
    <message>
        <source>&amp;Completed</source>
        <translation>T&amp;erminées</translation>
    </message>
    <message>
        <source>&amp;Unresolved</source>
        <translation>Non &amp;résolues</translation>
    </message>
    <message>
        <source>&amp;Requests</source>
        <translation>&amp;Demandes</translation>
    </message>
    <message>
        <source>Entry Details</source>
        <translation>Détails de l’entrée</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Entry Editing</source>
        <translation>Édition</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>&amp;Modifier</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>New Task Type</source>
        <translation>Type de la nouvelle tâche</translation>
    </message>
    <message>
        <source>Normal Task</source>
        <translation>Tâche normale</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Tâche</translation>
    </message>
    <message>
        <source>Added</source>
        <translation>Ajoutée</translation>
    </message>
    <message>
        <source>Edited</source>
        <translation>Modifiée</translation>
    </message>
    <message>
        <source>A simple ToDo tool</source>
        <translation>Un outil simple de liste de tâches</translation>
    </message>
    <message>
        <source>Remove selected entry?</source>
        <translation>Supprimer l’entrée sélectionnée ?</translation>
    </message>
    <message>
        <source>Another program changed or removed this entry in the file, so it was not updated. The typed text stays in the box.</source>
        <translation>Un autre programme a modifié ou supprimé cette entrée dans le fichier ; votre modification n’a donc pas été appliquée. Le texte saisi reste dans le champ.</translation>
    </message>
    <message>
        <source>Remove the %1 selected entries?</source>
        <translation>Supprimer les %1 entrées sélectionnées ?</translation>
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
        <translation>L’association de fichiers a été faite !</translation>
    </message>
    <message>
        <source>The file association could not be made!</source>
        <translation>L’association de fichiers n’a pas pu être faite !</translation>
    </message>
    <message>
        <source>ToDo-files(*.tvk) are not associated with Tarvik!</source>
        <translation>Les fichiers de tâches (*.tvk) ne sont pas associés à Tarvik !</translation>
    </message>
    <message>
        <source>Do You want to associate them now?</source>
        <translation>Voulez-vous les associer maintenant ?</translation>
    </message>
</context>
</TS>
