#include "platform/Dialogs.h"

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const UnicodeString& Value)
{
    // Kept without a leading dot, as the dialog adds the dot itself.
    FDefaultExt = (!Value.empty() && Value[0] == '.') ? Value.substr(1) : Value;
}

std::vector<TOpenDialog::TFilterEntry> TOpenDialog::ParseFilter(const UnicodeString& Filter)
{
    std::vector<UnicodeString> parts;
    std::size_t start = 0;
    while (start <= Filter.size()) {
        const std::size_t bar = Filter.find('|', start);
        const std::size_t end = bar == UnicodeString::npos ? Filter.size() : bar;
        parts.push_back(Filter.substr(start, end - start));
        if (bar == UnicodeString::npos)
            break;
        start = bar + 1;
    }
    std::vector<TFilterEntry> entries;
    if (Filter.empty())
        return entries;
    for (std::size_t i = 0; i < parts.size(); i += 2) {
        // A description without patterns matches everything.
        const UnicodeString patterns = i + 1 < parts.size() ? parts[i + 1] : UnicodeString();
        entries.push_back(TFilterEntry{parts[i], patterns.empty() ? UnicodeString(1, '*') : patterns});
    }
    return entries;
}
