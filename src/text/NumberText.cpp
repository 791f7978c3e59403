#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace {

// True when value * 10^decimals lies exactly halfway between two integers.
// value = m * 2^e with m a 53-bit integer; value * 2 * 10^d = m * 5^d * 2^(e+1+d)
// is evaluated exactly in 128-bit integers (5^d < 2^64 for d <= 27).
bool IsExactHalf(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0 || decimals > 27) {
        return false;
    }
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // [0.5, 1)
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    unsigned __int128 product = mantissa;
    for (int i = 0; i < decimals; ++i) {
        product *= 5;
    }
    const int shift = exponent + 1 + decimals;
    if (shift >= 0) {
        return shift == 0 && (product & 1) != 0; // odd integer <=> half
    }
    if (shift <= -127) {
        return false;
    }
    const unsigned __int128 lowMask = (static_cast<unsigned __int128>(1) << (-shift)) - 1;
    if ((product & lowMask) != 0) {
        return false;
    }
    return ((product >> (-shift)) & 1) != 0;
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
    // to_chars rounds exact halves to even; the program rounds them away from zero.
    if (IsExactHalf(value, decimals)) {
        value = std::nextafter(value, value > 0 ? HUGE_VAL : -HUGE_VAL);
    }
    // to_chars is independent of the process locale (Qt sets LC_NUMERIC from
    // the user's locale at start-up, which would change printf's separator).
    char buffer[512];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ec == std::errc() ? result.ptr : buffer);
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

std::optional<double> ParseNumber(std::string_view text, char decimalSeparator) {
    // Validate the shape first, building a '.'-separated copy for from_chars.
    std::string normal;
    normal.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        normal += text[i++];
        ++mantissaDigits;
    }
    if (i < n && text[i] == decimalSeparator) {
        normal += '.';
        ++i;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            normal += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    bool negativeExponent = false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            normal += text[i++];
        }
        std::size_t exponentDigits = 0;
        while (i < n && text[i] >= '0' && text[i] <= '9') {
            normal += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != n) {
        return std::nullopt;
    }
    if (normal.front() == '.') {
        normal.insert(normal.begin(), '0');
    }
    double value = 0.0;
    const auto result = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is refused.
        if (!negativeExponent) {
            return std::nullopt;
        }
        value = 0.0;
    } else if (result.ec != std::errc() || result.ptr != normal.data() + normal.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string NotAValidFloatingNumber(std::string_view text) {
    std::string message = "\"";
    message += text;
    message += "\" is not a valid floating number!";
    return message;
}
