// The name operations over as many names as a large list holds, with the
// figures of a plain loop over the same names for comparison.
#include "app/names/Trel_nameedit.h"
#include "bench/BenchSupport.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 200000;

// Under UTF-8 the names are Greek, every letter a two-byte sequence.
const bool kGreek = IsUtf8CodePage();
// "Φωτογραφία διακοπών", "φωτογραφία", "εικόνα", "(επεξεργασία)"
const std::string kHoliday = kGreek ? "\xCE\xA6\xCF\x89\xCF\x84\xCE\xBF\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xAF\xCE\xB1 "
                                      "\xCE\xB4\xCE\xB9\xCE\xB1\xCE\xBA\xCE\xBF\xCF\x80\xCF\x8E\xCE\xBD"
                                    : "Holiday photo";
const std::string kPhoto = kGreek ? "\xCF\x86\xCF\x89\xCF\x84\xCE\xBF\xCE\xB3\xCF\x81\xCE\xB1\xCF\x86\xCE\xAF\xCE\xB1" : "photo";
const std::string kImage = kGreek ? "\xCE\xB5\xCE\xB9\xCE\xBA\xCF\x8C\xCE\xBD\xCE\xB1" : "image";
const std::string kEdited = kGreek ? "(\xCE\xB5\xCF\x80\xCE\xB5\xCE\xBE\xCE\xB5\xCF\x81\xCE\xB3\xCE\xB1\xCF\x83\xCE\xAF\xCE\xB1)"
                                   : "(edited)";

std::vector<std::string> MakeNames() {
    std::vector<std::string> names;
    names.reserve(kNames);
    for (int i = 0; i < kNames; ++i)
        names.push_back(kHoliday + " " + std::to_string(i) + " " + kEdited + ".JPEG");
    return names;
}

void Measure(const char* what, const std::vector<std::string>& names,
             const std::function<std::string(const std::string&, int)>& edit) {
    std::size_t bytes = 0;
    const double ms = Milliseconds([&] {
        for (int k = 0; k < kNames; ++k)
            bytes += edit(names[static_cast<std::size_t>(k)], k).size();
    });
    std::printf("%-44s %8.1f ms  (%6.2f us a name, %zu bytes)\n", what, ms, ms * 1000.0 / kNames, bytes);
}

} // namespace

int main() {
    std::printf("%d names, code page %u\n", kNames, GetACP());
    const std::vector<std::string> names = MakeNames();

    Measure("copy (baseline)", names, [](const std::string& name, int) { return name; });
    Measure("insert at the tail of the base name", names,
            [](const std::string& name, int) { return InsertIntoPart(name, pkBaseName, ipTail, "_x"); });
    Measure("overwrite the extension", names,
            [](const std::string& name, int) { return OverwritePart(name, pkExtension, "jpg"); });
    Measure("replace, match case off", names, [](const std::string& name, int) {
        return ReplaceInPart(name, pkName, kPhoto, kImage, false);
    });
    Measure("replace, match case on", names,
            [](const std::string& name, int) { return ReplaceInPart(name, pkName, kPhoto, kImage, true); });
    Measure("book title of the name", names,
            [](const std::string& name, int) { return CapitalizePart(name, pkName, ccBookTitle); });
    Measure("lower case of the name", names,
            [](const std::string& name, int) { return CapitalizePart(name, pkName, ccLowerCase); });
    Measure("upper case of the name", names,
            [](const std::string& name, int) { return CapitalizePart(name, pkName, ccUpperCase); });
    Measure("URL encode the name as UTF-8", names,
            [](const std::string& name, int) { return UrlEncodePart(name, pkName, ceUtf8); });
    // One compiled pattern for all the names, as the handler has.
    const TNamePattern digitsAnyCase("(\\d+)", false);
    const TNamePattern digits("(\\d+)", true);
    const TNamePattern word("photo", false);
    Measure("regular expression (\\d+), match case off", names, [&](const std::string& name, int) {
        return ReplaceMatchesInPart(name, pkName, digitsAnyCase, "#$1");
    });
    Measure("regular expression (\\d+), match case on", names,
            [&](const std::string& name, int) { return ReplaceMatchesInPart(name, pkName, digits, "#$1"); });
    Measure("regular expression photo, match case off", names,
            [&](const std::string& name, int) { return ReplaceMatchesInPart(name, pkName, word, "image"); });
    std::vector<std::string> encoded;
    encoded.reserve(kNames);
    for (const std::string& name : names)
        encoded.push_back(UrlEncodePart(name, pkName, ceUtf8));
    Measure("URL decode the name as UTF-8", encoded,
            [](const std::string& name, int) { return UrlDecodePart(name, pkName, ceUtf8); });

    TNumberSrcLinesSpecs numbers;
    numbers.Prefix = "img";
    numbers.Digits = 6;
    TStringList lines;
    const double ms = Milliseconds([&] { numbers.GetLines(kNames, lines); });
    std::printf("%-44s %8.1f ms  (%d lines)\n", "number lines", ms, lines.Count());
    return 0;
}
