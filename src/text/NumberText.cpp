#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace {

// True when value * 10^decimals lies exactly halfway between two integers, that
// is when value * 2 * 10^decimals is an odd integer. With value = m * 2^e (m odd)
// that product is m * 5^decimals * 2^(e + 1 + decimals), odd exactly when
// e = -(decimals + 1): when value * 2^(decimals + 1) is an odd integer.
bool IsExactHalf(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0 || decimals < 0) {
        return false;
    }
    // Scaling by a power of two is exact (the subnormals included) as long as
    // it does not overflow; every double from 2^53 on is an even integer, and
    // so stays one when scaled up.
    const double magnitude = std::fabs(value);
    if (magnitude >= 0x1p53) {
        return false;
    }
    const double scaled = std::ldexp(magnitude, decimals + 1);
    return std::isfinite(scaled) && std::floor(scaled) == scaled && std::fmod(scaled, 2.0) == 1.0;
}

// Adds one unit in the last place to a string of digits with at most one '.',
// carrying through the digits ("9.99" -> "10.00").
void IncrementLastDigit(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.') {
            continue;
        }
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// |value| with `decimals` digits, an exact half rounded away from zero. The
// half has exactly decimals + 1 digits, so to_chars writes it exactly with
// them; the last one (a 5) is dropped and the rest rounded up as digits, so
// that the value itself is never moved (a nudge by one ulp would change the
// printed digits once the ulp exceeds the last printed place).
std::string RoundHalfAwayFromZero(double value, int decimals) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::fixed, decimals + 1);
    if (result.ec != std::errc()) {
        return {};
    }
    std::string digits(buffer, result.ptr);
    digits.pop_back(); // the 5
    if (!digits.empty() && digits.back() == '.') {
        digits.pop_back();
    }
    IncrementLastDigit(digits);
    return value < 0 ? "-" + digits : digits;
}

void ReplaceSeparator(std::string& text, char decimalSeparator) {
    if (decimalSeparator == '.') {
        return;
    }
    for (char& c : text) {
        if (c == '.') {
            c = decimalSeparator;
        }
    }
}

void DropNegativeZero(std::string& text) {
    if (text.empty() || text[0] != '-') {
        return;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '0' && text[i] != '.') {
            return;
        }
    }
    text.erase(0, 1);
}

} // namespace

std::string FormatFixed(double value, int decimals, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    }
    // to_chars is independent of the process locale (Qt sets LC_NUMERIC from
    // the user's locale at start-up, which would change printf's separator).
    // It rounds exact halves to even; the program rounds them away from zero.
    std::string text;
    if (IsExactHalf(value, decimals)) {
        text = RoundHalfAwayFromZero(value, decimals);
    } else {
        char buffer[512];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                          std::chars_format::fixed, decimals);
        text.assign(buffer, result.ec == std::errc() ? result.ptr : buffer);
    }
    DropNegativeZero(text);
    ReplaceSeparator(text, decimalSeparator);
    return text;
}

std::string FormatUpTo(double value, int maxDecimals, char decimalSeparator) {
    std::string text = FormatFixed(value, maxDecimals, '.');
    const std::size_t point = text.find('.');
    if (point != std::string::npos) {
        std::size_t end = text.size();
        while (end > point + 1 && text[end - 1] == '0') {
            --end;
        }
        if (end == point + 1) {
            end = point;
        }
        text.resize(end);
    }
    DropNegativeZero(text);
    ReplaceSeparator(text, decimalSeparator);
    return text;
}

std::string FormatGeneral(double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    }
    if (value == 0.0) {
        return "0";
    }
    // 15 significant digits, then choose fixed or exponent form from the exponent.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string scientific(buffer, result.ptr);
    const std::size_t e = scientific.find('e');
    const int exponent = std::atoi(scientific.c_str() + e + 1);
    std::string digits; // the 15 significant digits without sign and point
    for (std::size_t i = 0; i < e; ++i) {
        if (scientific[i] >= '0' && scientific[i] <= '9') {
            digits += scientific[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string text = value < 0 ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            text += "0.";
            text.append(static_cast<std::size_t>(-exponent - 1), '0');
            text += digits;
        } else {
            const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= whole) {
                text += digits;
                text.append(whole - digits.size(), '0');
            } else {
                text += digits.substr(0, whole);
                text += '.';
                text += digits.substr(whole);
            }
        }
    } else {
        text += digits.substr(0, 1);
        if (digits.size() > 1) {
            text += '.';
            text += digits.substr(1);
        }
        text += 'E';
        if (exponent < 0) {
            text += '-';
        }
        text += std::to_string(std::abs(exponent));
    }
    ReplaceSeparator(text, decimalSeparator);
    return text;
}

namespace {

// A number's text being read, with the '.'-separated copy of it built for
// from_chars. Alongside, the decimal order of the value: the number of integer
// digits from the first significant one on, or minus the zeros that open the
// fraction, plus the exponent. It tells an underflow (order below 1, read as
// zero) from an overflow (refused) when from_chars finds the value out of
// range, wherever the digits and the exponent put it.
struct NumberScan {
    std::string_view Text;
    std::size_t Pos = 0;
    std::string Normal;
    std::int64_t Order = 0;

    bool AtDigit() const { return Pos < Text.size() && Text[Pos] >= '0' && Text[Pos] <= '9'; }
    bool AtEither(char a, char b) const {
        return Pos < Text.size() && (Text[Pos] == a || Text[Pos] == b);
    }
    // Copies the current character to the normal form and moves past it.
    char Take() {
        Normal += Text[Pos];
        return Text[Pos++];
    }
};

// The digits of the mantissa, with their fraction after the separator; false
// when there is no digit at all.
bool ScanMantissa(NumberScan& scan, char decimalSeparator) {
    std::size_t mantissaDigits = 0;
    bool significant = false;
    while (scan.AtDigit()) {
        const char digit = scan.Take();
        significant = significant || digit != '0';
        scan.Order += significant ? 1 : 0;
        ++mantissaDigits;
    }
    if (scan.Pos < scan.Text.size() && scan.Text[scan.Pos] == decimalSeparator) {
        scan.Normal += '.';
        ++scan.Pos;
        while (scan.AtDigit()) {
            const char digit = scan.Take();
            if (!significant && digit == '0') {
                --scan.Order;
            }
            significant = significant || digit != '0';
            ++mantissaDigits;
        }
    }
    return mantissaDigits != 0;
}

// The exponent, when an 'e' or 'E' opens one; false when it has no digits.
bool ScanExponent(NumberScan& scan) {
    if (!scan.AtEither('e', 'E')) {
        return true;
    }
    scan.Normal += 'e';
    ++scan.Pos;
    bool negativeExponent = false;
    if (scan.AtEither('+', '-')) {
        negativeExponent = scan.Take() == '-';
    }
    std::size_t exponentDigits = 0;
    // Saturated far beyond any order a double reaches, and beyond any count
    // of digits a text can hold.
    constexpr std::int64_t saturated = 1'000'000'000'000'000;
    std::int64_t exponent = 0;
    while (scan.AtDigit()) {
        const char digit = scan.Take();
        if (exponent < saturated) {
            exponent = exponent * 10 + (digit - '0');
        }
        ++exponentDigits;
    }
    if (exponentDigits == 0) {
        return false;
    }
    scan.Order += negativeExponent ? -exponent : exponent;
    return true;
}

// The magnitude a scanned number's normal form states: an underflow reads as
// zero; an overflow, or anything from_chars does not read whole, is refused.
std::optional<double> ConvertScanned(std::string& normal, std::int64_t order) {
    if (normal.front() == '.') {
        normal.insert(normal.begin(), '0');
    }
    double value = 0.0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (order > 0) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    // Validate the shape first, then convert the normal form.
    NumberScan scan;
    scan.Text = text;
    scan.Normal.reserve(text.size());
    bool negative = false;
    if (scan.AtEither('+', '-')) {
        negative = text[scan.Pos] == '-';
        ++scan.Pos;
    }
    if (!ScanMantissa(scan, decimalSeparator) || !ScanExponent(scan) || scan.Pos != text.size()) {
        return std::nullopt;
    }
    const std::optional<double> value = ConvertScanned(scan.Normal, scan.Order);
    if (!value) {
        return std::nullopt;
    }
    return negative ? -*value : *value;
}

std::optional<double> ParseUserNumber(std::string_view text, char decimalSeparator) {
    std::optional<double> value = ParseNumber(text, decimalSeparator);
    if (!value && decimalSeparator != '.') {
        value = ParseNumber(text, '.');
    }
    return value;
}

std::string NotAValidFloatingNumber(std::string_view text) {
    std::string message = "\"";
    message += text;
    message += "\" is not a valid floating number!";
    return message;
}
