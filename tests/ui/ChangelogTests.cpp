#include "BinaryData.h"
#include "Palette.h"
#include "TextDecoding.h"
#include "panel_changelog.h"

#include <gtest/gtest.h>

namespace
{
// Entries as one line each: kind letter, a colon, the text. "1" to "3" headings, "p"
// paragraph, "*" bullet, "B" blank.
juce::String describe (const std::vector<ChangelogEntry>& entries)
{
    static const char* letters[] = { "1", "2", "3", "p", "*", "B" };
    juce::StringArray lines;
    for (const auto& e : entries)
        lines.add (juce::String (letters[(int) e.kind]) + ":" + e.text);
    return lines.joinIntoString ("|");
}

juce::String parsed (const juce::String& text)
{
    return describe (panel_changelog (text, "Kestrune").entries);
}

// Fonts told apart by height alone, so that each run shows which one it received.
const juce::Font normalFont { juce::FontOptions (10.0f) };
const juce::Font boldFont { juce::FontOptions (11.0f, juce::Font::bold) };
const juce::Font italicFont { juce::FontOptions (12.0f, juce::Font::italic) };

juce::String runsOf (const juce::String& text)
{
    juce::AttributedString styled;
    appendInlineRuns (styled, text, normalFont, boldFont, italicFont, PaletteGrey);

    juce::StringArray runs;
    for (int i = 0; i < styled.getNumAttributes(); ++i)
    {
        const auto& attribute = styled.getAttribute (i);
        const auto height = attribute.font.getHeight();
        const auto kind = height == 11.0f ? "b" : height == 12.0f ? "i" : "n";
        EXPECT_EQ (attribute.colour, PaletteGrey);
        runs.add (juce::String (kind) + ":" + styled.getText().substring (attribute.range.getStart(), attribute.range.getEnd()));
    }
    return runs.joinIntoString ("|");
}
} // namespace

TEST (ChangelogParser, MarkdownSubsetCases)
{
    struct Case { const char* name; juce::String text; juce::String expected; };
    const Case cases[] = {
        { "embedded file", juce::String::createStringFromData (BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize),
          "2:v1.0.0|B:|*:Initial public version.|B:" },
        { "title of any kind is dropped", "## Release notes\n## v2\n- a", "2:v2|*:a" },
        { "empty lines before the title vanish", "\n  \n# Title\n\n\n# One", "1:One" },
        { "one Blank per run of empty lines", "T\n# A\n\n\n\n### C\n\t\nD", "1:A|B:|3:C|B:|p:D" },
        { "indented bullets, both markers", "T\n   - dash\n\t* star", "*:dash|*:star" },
        { "markers need their blank", "T\n-dash\n##two\n#one\n*star", "p:-dash|p:##two|p:#one|p:*star" },
        { "prefix order", "T\n#### four\n###  three", "p:#### four|3: three" },
        { "trailing blanks dropped", "T\nsome text   \t", "p:some text" },
        { "CR only", "T\r\r## H\r- b\r", "2:H|*:b|B:" },
        { "LF only", "T\n\n## H\n- b\n", "2:H|*:b|B:" },
        { "CRLF", "T\r\n\r\n## H\r\n- b\r\n", "2:H|*:b|B:" },
        { "nothing but a title", "# Only a title", "" },
        { "empty text", "", "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (parsed (c.text), c.expected) << c.name;
}

TEST (ChangelogParser, ParsingAgainReplacesTheEntries)
{
    panel_changelog panel ("T\n- one", "Kestrune");
    panel.parseChangelog ("T\n- two");
    EXPECT_EQ (describe (panel.entries), "*:two");
}

TEST (ChangelogInlineRuns, BoldItalicAndLiteralAsterisks)
{
    struct Case { juce::String text; juce::String expected; };
    const Case cases[] = {
        { "Fixed **crash** on *some* hosts", "n:Fixed |b:crash|n: on |i:some|n: hosts" },
        { "no markers", "n:no markers" },
        { "a ** b", "n:a ** b" },
        { "**", "n:**" },
        { "****", "n:****" },
        { "*", "n:*" },
        { "*open only", "n:*open only" },
        { "**open only", "n:**open only" },
        { "**a*b**", "b:a*b" },
        { "*a**b*", "i:ab" },  // two italic runs side by side read as one
        { "**bold**", "b:bold" },
        { juce::String::fromUTF8 ("x **Größe** ü"), juce::String::fromUTF8 ("n:x |b:Größe|n: ü") },
        { "", "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (runsOf (c.text), c.expected) << c.text;
}

TEST (ChangelogInlineRuns, NotesThatAreNotUtf8KeepEveryCharacter)
{
    // Found by fuzzing: bytes that are not UTF-8 reached the framework's string functions,
    // which read past the end of such strings. They are read as Windows-1252 instead.
    const char bytes[] = "#%\xf1\r\xac\x9ctle **b\xc3** *\xff*";
    const auto text = TextDecoding::textFromBytes (bytes, sizeof (bytes) - 1);
    EXPECT_EQ (text.length(), (int) sizeof (bytes) - 1);

    juce::AttributedString styled;
    appendInlineRuns (styled, text, normalFont, boldFont, italicFont, PaletteGrey);
    EXPECT_EQ (styled.getText(), text.replace ("**", "").removeCharacters ("*"));
    EXPECT_EQ (styled.getNumAttributes(), 4);
}

TEST (ChangelogLayout, PositionsAndHeightFollowTheUnit)
{
    panel_changelog panel ("T\n## v2.0.0\n\n- A bullet\nA paragraph", "Kestrune");
    auto& content = *panel.content;

    struct Measured { float headingTop, blankTop, bulletIndent, bulletTop; int height; };
    const auto measure = [&] (float unit) {
        content.layoutEntries (juce::roundToInt (92.0f * unit), unit);
        EXPECT_EQ (content.lines.size(), 4u);
        EXPECT_EQ (content.getWidth(), juce::roundToInt (92.0f * unit));
        return Measured { content.lines[0].top, content.lines[1].top, content.lines[2].indent, content.lines[2].top, content.getHeight() };
    };

    const auto small = measure (6.0f);
    const auto large = measure (12.0f);

    EXPECT_FLOAT_EQ (small.headingTop, 6.0f + 6.0f);          // one unit margin, one unit before a level-two heading
    EXPECT_FLOAT_EQ (small.bulletIndent, 24.0f);
    EXPECT_FLOAT_EQ (large.bulletIndent, 48.0f);
    EXPECT_FLOAT_EQ (small.bulletTop - small.blankTop, 9.0f); // a Blank is 1.5 units
    EXPECT_NEAR (large.headingTop, 2.0f * small.headingTop, 0.01f);
    EXPECT_NEAR (large.bulletTop, 2.0f * small.bulletTop, 2.0f);
    EXPECT_NEAR ((float) large.height, 2.0f * (float) small.height, 3.0f);
    EXPECT_EQ (content.lines[3].indent, 0.0f);
}

TEST (ChangelogLayout, LongLinesWrapAndScrollOnlyVertically)
{
    juce::String text ("T\n");
    for (int i = 0; i < 40; ++i)
        text << "- A rather long bullet that has to wrap at word boundaries in the narrow panel, entry " << i << "\n";

    panel_changelog panel (text, "Kestrune");
    panel.setBounds (0, 0, 600, 600);  // unit 9 until a main screen sets it; here 9 × 92 > 600 is fine
    panel.unit = 6.0f;
    panel.resized();

    auto& viewport = *panel.viewport;
    EXPECT_TRUE (viewport.isVerticalScrollBarShown());
    EXPECT_FALSE (viewport.isHorizontalScrollBarShown());
    EXPECT_GT (viewport.getViewedComponent()->getHeight(), viewport.getHeight());

    // Laid out again for the width that is left beside the scroll bar.
    EXPECT_EQ (panel.content->contentWidth, viewport.getMaximumVisibleWidth());
    EXPECT_LT (panel.content->contentWidth, viewport.getWidth());

    const auto oneLine = panel.content->lines.front().height;
    panel.content->layoutEntries (2000, 6.0f);
    EXPECT_LT (panel.content->lines.front().height, oneLine);  // wrapped lines are taller than unwrapped ones
}

TEST (ChangelogLayout, HeadingFontsMakeBoldLookPlainAndItalicBoldItalic)
{
    panel_changelog panel ("T\n# A **b** *c*", "Kestrune");
    panel.content->layoutEntries (552, 6.0f);
    const auto& styled = panel.content->lines.front().text;

    // The bold word reads like the rest of the heading, so it merges into the first run.
    ASSERT_EQ (styled.getNumAttributes(), 2);
    EXPECT_EQ (styled.getAttribute (0).range, juce::Range<int> (0, 4));
    EXPECT_TRUE (styled.getAttribute (0).font.isBold());
    EXPECT_FALSE (styled.getAttribute (0).font.isItalic());
    EXPECT_TRUE (styled.getAttribute (1).font.isBold());
    EXPECT_TRUE (styled.getAttribute (1).font.isItalic());
    EXPECT_FLOAT_EQ (styled.getAttribute (0).font.getHeight(), 30.0f);
    EXPECT_EQ (styled.getAttribute (0).colour, PaletteWhite);
}
