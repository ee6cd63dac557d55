#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string_view>

// The eight status codes of an entry, the category each one lives in, and the
// text forms of a status and of a task's line breaks.

constexpr int Status_Incomplete = 1;
constexpr int Status_Complete = 2;
constexpr int Status_Invalid = 3;
constexpr int Status_Unresolved = 4;
constexpr int Status_Moved = 5;
constexpr int Status_Information = 6;
constexpr int Status_Question = 7;
constexpr int Status_Request = 8;

constexpr int FirstStatusCode = Status_Incomplete;
constexpr int LastStatusCode = Status_Request;

// The five category lists, numbered as the tabs that show them.
enum class Category : int {
    Tasks = 0,
    Completed = 1,
    Unresolved = 2,
    Information = 3,
    Requests = 4,
};

constexpr int CategoryCount = 5;

// The name of a status code, "Incomplete" to "Request", for the codes 1 to 8;
// any other value is named by its number.
QString StatusName(double status);

// The status code whose name is exactly (case-sensitively) the given text.
std::optional<int> StatusCodeForName(QStringView name);

// Codes 1 and 7 are tasks, 2 completed, 6 information, 8 requests; every other
// value, including 0, negatives and fractions read from a file, is unresolved.
Category CategoryForStatus(double status);

// The category shown on a tab, or nothing for an index outside 0 to 4.
std::optional<Category> CategoryForTab(int tabIndex);

// The code that New gives an entry made on a category's tab. On the Tasks tab
// the choice between a plain task and a question decides.
int NewEntryStatus(Category category, bool question);

// Shortest decimal form ("1", "7", "1.5", "-2"); -0 is written "0".
QString FormatStatus(double status);
std::string FormatStatusUtf8(double status);

// Reads the number that starts a status field, after leading blanks and tabs.
// A field that does not start with a number reads as 0; nothing is returned
// when the number is too large to hold. When numberEnd is given, it gets the
// position just after the number (after the leading blanks when there is none).
std::optional<double> ParseStatusField(std::u16string_view field, size_t *numberEnd = nullptr);

// CR LF in a typed task becomes " | " when stored, and back when shown.
QString EncodeLineBreaks(const QString &typed);
QString DecodeLineBreaks(const QString &stored);
