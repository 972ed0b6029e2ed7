#include "support/Vek_inifile.h"

void TIniSection::Push(const std::string& name) {
    FParts.Add(name);
}

void TIniSection::Pop() {
    FParts.Delete(FParts.Count() - 1);
}

std::string TIniSection::GetSectionName() const {
    std::string name;
    for (int i = 0; i < FParts.Count(); ++i) {
        if (i > 0)
            name += FParts.Delimiter();
        name += FParts.Strings(i);
    }
    return name;
}
