#pragma once

// The fixed texts of a task-list file.
namespace TaskFileFormat {

// The first line. A reader takes any letter case and trailing blanks; a first
// line that differs otherwise would be lost by a save.
constexpr char HeaderLine[] = "Status;Task;Added;Edited;User";
constexpr int HeaderLineSize = sizeof HeaderLine - 1;
constexpr char LineEnd[] = "\r\n";
constexpr char FieldSeparator = ';';
constexpr int FieldCount = 5;

// The three forms of a file. A file that starts with the UTF-8 byte-order
// mark is in the extended form: UTF-8 text in which "\" escapes itself, ";",
// CR ("\r") and LF ("\n"), so that any text fits. A file without the mark
// that is valid UTF-8 and holds at least one character outside ASCII, as any
// text editor writes it, is plain UTF-8; any other file is plain
// Windows-1252. In the plain forms "\" is an ordinary character.
enum class TextForm { Windows1252, Utf8, Extended };

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr int ByteOrderMarkSize = 3;
constexpr char Escape = '\\';

// The characters the extended form escapes, each with the letter that follows
// the "\" in its place. The writer escapes through this table and the reader
// unescapes through it, so the two cannot disagree.
struct EscapedCharacter {
    char character;
    char letter;
};
constexpr EscapedCharacter EscapedCharacters[] = {{'\\', '\\'}, {';', ';'}, {'\r', 'r'}, {'\n', 'n'}};

// The letter that stands for the character after a "\", or 0 when it is not escaped.
constexpr char EscapeLetterFor(char16_t c)
{
    for (const EscapedCharacter &escaped : EscapedCharacters) {
        if (c == static_cast<char16_t>(escaped.character))
            return escaped.letter;
    }
    return 0;
}

// The character that a "\" and this letter stand for, or 0 for none.
constexpr char UnescapedCharacterFor(char letter)
{
    for (const EscapedCharacter &escaped : EscapedCharacters) {
        if (letter == escaped.letter)
            return escaped.character;
    }
    return 0;
}

} // namespace TaskFileFormat
