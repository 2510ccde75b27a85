// Any bytes as release notes: parsing gives well-formed entries, and the inline runs of every
// entry hold its text with only matched asterisk markers taken out.
#include "TextDecoding.h"
#include "panel_changelog.h"

namespace
{
void checkEntries (const std::vector<ChangelogEntry>& entries)
{
    for (size_t i = 0; i < entries.size(); ++i)
    {
        const auto& entry = entries[i];
        const bool blank = entry.kind == ChangelogLineKind::Blank;

        if (blank != entry.text.isEmpty())
            abort();
        if (blank && (i == 0 || entries[i - 1].kind == ChangelogLineKind::Blank))
            abort();
        if (entry.kind == ChangelogLineKind::Paragraph && entry.text != entry.text.trim())
            abort();
    }
}

void checkRuns (const juce::String& text)
{
    static const juce::Font normal { juce::FontOptions (10.0f) };
    static const juce::Font bold { juce::FontOptions (10.0f, juce::Font::bold) };
    static const juce::Font italic { juce::FontOptions (10.0f, juce::Font::italic) };

    juce::AttributedString styled;
    appendInlineRuns (styled, text, normal, bold, italic, juce::Colours::grey);
    const auto shown = styled.getText();

    if (! text.containsChar ('*') && shown != text)
        abort();
    if (shown.length() > text.length() || shown.removeCharacters ("*") != text.removeCharacters ("*"))
        abort();

    int covered = 0;
    for (int i = 0; i < styled.getNumAttributes(); ++i)
    {
        const auto range = styled.getAttribute (i).range;
        if (range.getStart() != covered || range.isEmpty())
            abort();
        covered = range.getEnd();
    }
    if (covered != shown.length())
        abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto text = TextDecoding::textFromBytes (data, size);
    const auto entries = parseChangelogEntries (text);

    checkEntries (entries);
    for (const auto& entry : entries)
        checkRuns (entry.text);

    return 0;
}
