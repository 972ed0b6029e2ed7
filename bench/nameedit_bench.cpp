// The name operations over as many names as a large list holds, with the
// figures of a plain loop over the same names for comparison.
#include "bench/BenchSupport.h"
#include "app/Trel_nameedit.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 200000;

std::vector<std::string> MakeNames() {
    std::vector<std::string> names;
    names.reserve(kNames);
    for (int i = 0; i < kNames; ++i)
        names.push_back("Holiday photo " + std::to_string(i) + " (edited).JPEG");
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
        return ReplaceInPart(name, pkName, "photo", "image", false);
    });
    Measure("replace, match case on", names,
            [](const std::string& name, int) { return ReplaceInPart(name, pkName, "photo", "image", true); });
    Measure("book title of the name", names,
            [](const std::string& name, int) { return CapitalizePart(name, pkName, ccBookTitle); });
    Measure("lower case of the name", names,
            [](const std::string& name, int) { return CapitalizePart(name, pkName, ccLowerCase); });
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
