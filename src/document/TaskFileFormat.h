#pragma once

// The fixed texts of a task-list file.
namespace TaskFileFormat {

// The first line; readers skip it without looking at it.
constexpr char HeaderLine[] = "Status;Task;Added;Edited;User";
constexpr char LineEnd[] = "\r\n";
constexpr char FieldSeparator = ';';
constexpr int FieldCount = 5;

// A file that starts with the UTF-8 byte-order mark is in the extended form:
// UTF-8 text in which "\" escapes itself, ";", CR ("\r") and LF ("\n"), so
// that any text fits. Without the mark the file is Windows-1252 and "\" is an
// ordinary character.
constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr int ByteOrderMarkSize = 3;
constexpr char Escape = '\\';

} // namespace TaskFileFormat
