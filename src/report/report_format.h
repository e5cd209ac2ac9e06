// The report's formatter: printf-style wide (UTF-16) format strings whose
// conversions are checked against the argument types at compile time.
//
// Conversions: %d (32-bit integer, signed decimal), %s (UTF-16 text),
// %S (byte text), %.Nx and %.NX (32-bit unsigned, at least N lower- or
// uppercase hex digits), %% (a percent sign). A format whose conversions do
// not match its arguments does not compile.
//
// Text arguments given as arrays are read only within the array, even when no
// terminator comes; text given as a pointer is read up to its terminator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

enum class Conversion : std::uint8_t { Invalid, Percent, Decimal, Text, Bytes, LowerHex, UpperHex };

struct ConversionSpec {
    Conversion kind = Conversion::Invalid;
    std::uint8_t digits = 0;  // the minimum digit count of %.Nx and %.NX
};

// Parses the conversion that starts right after a '%'. Returns the position
// after it; on an invalid conversion, `conversion.kind` stays Invalid.
constexpr const char16_t* ParseConversion(const char16_t* at, ConversionSpec& conversion) {
    conversion = ConversionSpec{};
    switch (*at) {
    case u'%': conversion.kind = Conversion::Percent; return at + 1;
    case u'd': conversion.kind = Conversion::Decimal; return at + 1;
    case u's': conversion.kind = Conversion::Text; return at + 1;
    case u'S': conversion.kind = Conversion::Bytes; return at + 1;
    case u'.': break;
    default: return at;
    }
    const char16_t* p = at + 1;
    unsigned digits = 0;
    bool any = false;
    while (*p >= u'0' && *p <= u'9' && digits <= 99) {
        digits = digits * 10 + static_cast<unsigned>(*p - u'0');
        any = true;
        ++p;
    }
    if (!any || digits > 99 || (*p != u'x' && *p != u'X')) return at;
    conversion.kind = *p == u'x' ? Conversion::LowerHex : Conversion::UpperHex;
    conversion.digits = static_cast<std::uint8_t>(digits);
    return p + 1;
}

// What an argument type can be printed as.
enum class ArgClass : std::uint8_t { Unsupported, Signed, Unsigned, Utf16Text, WideText, ByteText };

template <typename T>
constexpr ArgClass ClassOfArg() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_array_v<U> || std::is_pointer_v<U>) {
        using E = std::remove_cv_t<std::conditional_t<std::is_array_v<U>, std::remove_extent_t<U>,
                                                      std::remove_pointer_t<U>>>;
        if constexpr (std::is_same_v<E, char16_t>) return ArgClass::Utf16Text;
        else if constexpr (std::is_same_v<E, wchar_t> && sizeof(wchar_t) == 2) return ArgClass::WideText;
        else if constexpr (std::is_same_v<E, char> || std::is_same_v<E, unsigned char>)
            return ArgClass::ByteText;
        else return ArgClass::Unsupported;
    } else if constexpr (std::is_integral_v<U> && !std::is_same_v<U, bool> && sizeof(U) <= 4) {
        if constexpr (std::is_same_v<U, char> || std::is_same_v<U, char16_t> ||
                      std::is_same_v<U, wchar_t> || std::is_same_v<U, char8_t> ||
                      std::is_same_v<U, char32_t>)
            return ArgClass::Unsupported;  // widen characters explicitly, without sign
        else return std::is_signed_v<U> ? ArgClass::Signed : ArgClass::Unsigned;
    } else {
        return ArgClass::Unsupported;
    }
}

constexpr bool ConversionAccepts(Conversion kind, ArgClass arg) {
    switch (kind) {
    case Conversion::Decimal: return arg == ArgClass::Signed || arg == ArgClass::Unsigned;
    case Conversion::LowerHex:
    case Conversion::UpperHex: return arg == ArgClass::Unsigned;
    case Conversion::Text: return arg == ArgClass::Utf16Text || arg == ArgClass::WideText;
    case Conversion::Bytes: return arg == ArgClass::ByteText;
    default: return false;
    }
}

// Not constexpr on purpose: reaching it while checking a format at compile
// time stops the build, and its name says why.
inline void ReportFormatDoesNotMatchItsArguments() {}
inline void ReportFormatHasTooManyConversions() {}

// A format cut into steps when it is compiled: each step is a run of literal
// text followed by one conversion (or by the end of the format).
struct FormatStep {
    std::uint16_t literalBegin = 0;
    std::uint16_t literalLength = 0;
    ConversionSpec conversion;  // Invalid in the last step: the end
};

inline constexpr std::size_t kMaxFormatSteps = 16;

struct CompiledFormat {
    const char16_t* text = nullptr;
    FormatStep steps[kMaxFormatSteps] = {};
};

// A format string checked against the argument types Args, and compiled.
template <typename... Args>
class ReportFormat {
public:
    template <std::size_t N>
    consteval ReportFormat(const char16_t (&format)[N]) {
        constexpr ArgClass classes[] = {ClassOfArg<Args>()..., ArgClass::Unsupported};
        compiled_.text = format;
        std::size_t used = 0;
        std::size_t step = 0;
        const char16_t* run = format;
        for (const char16_t* p = format;;) {
            if (*p != u'\0' && *p != u'%') {
                ++p;
                continue;
            }
            if (step == kMaxFormatSteps) ReportFormatHasTooManyConversions();
            FormatStep& current = compiled_.steps[step++];
            current.literalBegin = static_cast<std::uint16_t>(run - format);
            current.literalLength = static_cast<std::uint16_t>(p - run);
            if (*p == u'\0') break;
            p = ParseConversion(p + 1, current.conversion);
            run = p;
            if (current.conversion.kind == Conversion::Percent) continue;
            if (current.conversion.kind == Conversion::Invalid || used == sizeof...(Args) ||
                !ConversionAccepts(current.conversion.kind, classes[used]))
                ReportFormatDoesNotMatchItsArguments();
            ++used;
        }
        if (used != sizeof...(Args)) ReportFormatDoesNotMatchItsArguments();
    }

    const CompiledFormat& compiled() const { return compiled_; }

private:
    CompiledFormat compiled_;
};

// One argument as the formatter sees it.
struct ReportArg {
    ArgClass kind = ArgClass::Unsupported;
    std::uint32_t number = 0;
    const void* text = nullptr;  // char16_t, wchar_t or unsigned char units, by kind
    std::size_t limit = 0;       // the most units or bytes that may be read
};

template <typename T>
ReportArg MakeReportArg(const T& value) {
    constexpr ArgClass kind = ClassOfArg<T>();
    static_assert(kind != ArgClass::Unsupported, "no conversion prints this type");
    ReportArg arg;
    arg.kind = kind;
    if constexpr (kind == ArgClass::Signed || kind == ArgClass::Unsigned) {
        arg.number = static_cast<std::uint32_t>(value);
    } else {
        arg.text = value;
        if constexpr (std::is_array_v<T>) arg.limit = std::extent_v<T>;
        else arg.limit = SIZE_MAX;
    }
    return arg;
}

// Writes the digits of a numeric conversion as format text.
template <typename Out>
void FormatNumber(Out& out, const ConversionSpec& conversion, std::uint32_t value) {
    char16_t digits[112];  // a sign, up to 99 fill digits and 10 digits
    char16_t* end = digits + sizeof digits / sizeof digits[0];
    char16_t* begin = end;
    if (conversion.kind == Conversion::Decimal) {
        const bool negative = (value & 0x80000000u) != 0;
        std::uint32_t magnitude = negative ? 0u - value : value;
        do {
            *--begin = static_cast<char16_t>(u'0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) *--begin = u'-';
    } else {
        const char16_t* alphabet =
            conversion.kind == Conversion::UpperHex ? u"0123456789ABCDEF" : u"0123456789abcdef";
        do {
            *--begin = alphabet[value & 0xF];
            value >>= 4;
        } while (value != 0);
        while (end - begin < static_cast<std::ptrdiff_t>(conversion.digits)) *--begin = u'0';
    }
    out.Literal(begin, static_cast<std::size_t>(end - begin));
}

// Formats `format` with `args` into out, which receives:
//   Literal(const char16_t*, count)  format text and digits;
//   Units(const C*, limit)           a text argument (C is char16_t or wchar_t),
//                                    up to its first zero unit, at most limit units;
//   Bytes(const unsigned char*, limit)  a byte argument, likewise.
template <typename Out>
void FormatReport(Out& out, const CompiledFormat& format, const ReportArg* args) {
    for (const FormatStep& step : format.steps) {
        if (step.literalLength != 0) out.Literal(format.text + step.literalBegin, step.literalLength);
        switch (step.conversion.kind) {
        case Conversion::Invalid: return;  // the end of the format
        case Conversion::Percent: out.Literal(u"%", 1); break;
        case Conversion::Decimal:
        case Conversion::LowerHex:
        case Conversion::UpperHex: FormatNumber(out, step.conversion, (args++)->number); break;
        case Conversion::Text:
            if (args->kind == ArgClass::Utf16Text)
                out.Units(static_cast<const char16_t*>(args->text), args->limit);
            else out.Units(static_cast<const wchar_t*>(args->text), args->limit);
            ++args;
            break;
        case Conversion::Bytes:
            out.Bytes(static_cast<const unsigned char*>(args->text), args->limit);
            ++args;
            break;
        }
    }
}
