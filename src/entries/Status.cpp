#include "entries/Status.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

namespace {

const std::array<const char16_t *, 8> kNames = {
    u"Incomplete", u"Complete", u"Invalid", u"Unresolved", u"Moved", u"Information", u"Question", u"Request",
};

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the digit run starting at pos.
size_t digitRun(std::u16string_view s, size_t pos)
{
    size_t end = pos;
    while (end < s.size() && isDigit(s[end]))
        ++end;
    return end - pos;
}

// For a number that is out of range, tells overflow (positive) from underflow
// (zero or less) by the power of ten of its first significant digit.
long long decimalMagnitude(const std::string &number)
{
    const size_t expAt = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, expAt);
    long long exponent = 0;
    if (expAt != std::string::npos) {
        size_t i = expAt + 1;
        const bool negative = i < number.size() && number[i] == '-';
        if (i < number.size() && (number[i] == '-' || number[i] == '+'))
            ++i;
        for (; i < number.size() && exponent < 1'000'000'000; ++i)
            exponent = exponent * 10 + (number[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    const size_t point = mantissa.find('.');
    const size_t intEnd = point == std::string::npos ? mantissa.size() : point;
    long long place = 0; // power of ten of the first significant digit, plus one
    bool found = false;
    for (size_t i = 0; i < mantissa.size() && !found; ++i) {
        const char c = mantissa[i];
        if (c < '1' || c > '9')
            continue;
        found = true;
        place = i < intEnd ? static_cast<long long>(intEnd - i) : -static_cast<long long>(i - intEnd - 1);
    }
    return found ? place + exponent : 0;
}

} // namespace

QString StatusName(double status)
{
    for (int code = FirstStatusCode; code <= LastStatusCode; ++code) {
        if (status == code)
            return QString::fromUtf16(kNames[code - 1]);
    }
    return FormatStatus(status);
}

std::optional<int> StatusCodeForName(QStringView name)
{
    for (int code = FirstStatusCode; code <= LastStatusCode; ++code) {
        if (name == QStringView(kNames[code - 1]))
            return code;
    }
    return std::nullopt;
}

Category CategoryForStatus(double status)
{
    if (status == Status_Incomplete || status == Status_Question)
        return Category::Tasks;
    if (status == Status_Complete)
        return Category::Completed;
    if (status == Status_Information)
        return Category::Information;
    if (status == Status_Request)
        return Category::Requests;
    return Category::Unresolved;
}

std::optional<Category> CategoryForTab(int tabIndex)
{
    if (tabIndex < 0 || tabIndex >= CategoryCount)
        return std::nullopt;
    return static_cast<Category>(tabIndex);
}

int NewEntryStatus(Category category, bool question)
{
    switch (category) {
    case Category::Tasks:
        return question ? Status_Question : Status_Incomplete;
    case Category::Completed:
        return Status_Complete;
    case Category::Unresolved:
        return Status_Unresolved;
    case Category::Information:
        return Status_Information;
    case Category::Requests:
        return Status_Request;
    }
    return Status_Unresolved;
}

std::string FormatStatusUtf8(double status)
{
    if (status == 0) // also turns -0 into "0"
        return "0";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, status);
    return std::string(buffer, result.ptr);
}

QString FormatStatus(double status)
{
    // Whole codes are by far the most common; share their texts.
    static const std::array<QString, 9> small = [] {
        std::array<QString, 9> texts;
        for (int i = 0; i < 9; ++i)
            texts[i] = QString::number(i);
        return texts;
    }();
    if (status >= 0 && status <= 8 && status == std::floor(status))
        return small[static_cast<int>(status)];
    return QString::fromStdString(FormatStatusUtf8(status));
}

std::optional<double> ParseStatusField(std::u16string_view field, size_t *numberEnd)
{
    size_t pos = 0;
    while (pos < field.size() && (field[pos] == u' ' || field[pos] == u'\t'))
        ++pos;

    // The longest prefix of the form [+-]?(digits(.digits?)?|.digits)([eE][+-]?digits)?
    const size_t start = pos;
    if (pos < field.size() && (field[pos] == u'+' || field[pos] == u'-'))
        ++pos;
    const size_t intDigits = digitRun(field, pos);
    pos += intDigits;
    size_t fracDigits = 0;
    if (pos < field.size() && field[pos] == u'.') {
        fracDigits = digitRun(field, pos + 1);
        if (intDigits > 0 || fracDigits > 0)
            pos += 1 + fracDigits;
    }
    if (intDigits == 0 && fracDigits == 0) {
        if (numberEnd)
            *numberEnd = start;
        return 0.0;
    }
    if (pos < field.size() && (field[pos] == u'e' || field[pos] == u'E')) {
        size_t exp = pos + 1;
        if (exp < field.size() && (field[exp] == u'+' || field[exp] == u'-'))
            ++exp;
        const size_t expDigits = digitRun(field, exp);
        if (expDigits > 0)
            pos = exp + expDigits;
    }
    if (numberEnd)
        *numberEnd = pos;

    // Every character of the prefix is ASCII, so narrowing is exact.
    std::string number;
    number.reserve(pos - start);
    for (size_t i = start; i < pos; ++i) {
        if (field[i] != u'+')
            number.push_back(static_cast<char>(field[i]));
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars reports underflow the same way; only overflow is an error.
        if (decimalMagnitude(number) > 0)
            return std::nullopt;
        return 0.0;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

QString EncodeLineBreaks(const QString &typed)
{
    QString stored = typed;
    return stored.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
}

QString DecodeLineBreaks(const QString &stored)
{
    QString typed = stored;
    return typed.replace(QStringLiteral(" | "), QStringLiteral("\r\n"));
}
