#include "panel_changelog.h"

#include "Palette.h"
#include "PanelFrame.h"

namespace
{
struct KindStyle
{
    juce::Font normal, bold, italic;
    juce::Colour colour;
    float spaceBefore, spaceAfter, indent;
};

KindStyle styleFor (ChangelogLineKind kind, float unit)
{
    using F = juce::Font;
    const auto heading = [unit] (float size, float before, float after) {
        const auto h = size * unit;
        return KindStyle { PanelFrame::font (h, F::bold), PanelFrame::font (h, F::bold),
                           PanelFrame::font (h, F::bold | F::italic), PaletteWhite, before * unit, after * unit, 0.0f };
    };
    const auto text = [unit] (float indent) {
        const auto h = 3.0f * unit;
        return KindStyle { PanelFrame::font (h), PanelFrame::font (h, F::bold), PanelFrame::font (h, F::italic),
                           PaletteGrey, 0.0f, 0.3f * unit, indent * unit };
    };

    switch (kind)
    {
        case ChangelogLineKind::Heading1: return heading (5.0f, 1.5f, 0.6f);
        case ChangelogLineKind::Heading2: return heading (4.0f, 1.0f, 0.5f);
        case ChangelogLineKind::Heading3: return heading (3.5f, 0.8f, 0.4f);
        case ChangelogLineKind::Bullet:   return text (4.0f);
        case ChangelogLineKind::Paragraph:
        case ChangelogLineKind::Blank:    break;
    }
    return text (0.0f);
}

ChangelogEntry entryFor (const juce::String& line)
{
    if (line.startsWith ("### ")) return { ChangelogLineKind::Heading3, line.substring (4) };
    if (line.startsWith ("## "))  return { ChangelogLineKind::Heading2, line.substring (3) };
    if (line.startsWith ("# "))   return { ChangelogLineKind::Heading1, line.substring (2) };
    if (line.startsWith ("- ") || line.startsWith ("* "))
        return { ChangelogLineKind::Bullet, line.substring (2) };
    return { ChangelogLineKind::Paragraph, line };
}

// The text's characters with where each starts, so that scanning is indexed access rather
// than a UTF-8 walk, and every run copies the original bytes exactly.
struct IndexedText
{
    explicit IndexedText (const juce::String& text)
    {
        auto p = text.getCharPointer();
        for (; ! p.isEmpty(); p.getAndAdvance())
        {
            starts.push_back (p);
            chars.push_back (*p);
        }
        starts.push_back (p);
    }

    size_t size() const { return chars.size(); }

    // The index of the next marker ("*" or "**") at or after from, or -1.
    int find (size_t from, size_t markerLength) const
    {
        for (auto i = from; i + markerLength <= chars.size(); ++i)
            if (chars[i] == '*' && (markerLength == 1 || chars[i + 1] == '*'))
                return (int) i;
        return -1;
    }

    juce::String range (size_t start, size_t end) const { return { starts[start], starts[end] }; }

    std::vector<juce::CharPointer_UTF8> starts;
    std::vector<juce::juce_wchar> chars;
};
} // namespace

std::vector<ChangelogEntry> parseChangelogEntries (const juce::String& text)
{
    juce::StringArray lines;
    lines.addLines (text);

    std::vector<ChangelogEntry> entries;
    bool titleSeen = false;

    for (const auto& rawLine : lines)
    {
        const auto line = rawLine.trimEnd().trimStart();

        if (line.isNotEmpty() && ! titleSeen)
            titleSeen = true;
        else if (line.isNotEmpty())
            entries.push_back (entryFor (line));
        else if (! entries.empty() && entries.back().kind != ChangelogLineKind::Blank)
            entries.push_back ({ ChangelogLineKind::Blank, {} });
    }

    return entries;
}

void appendInlineRuns (juce::AttributedString& target, const juce::String& text, const juce::Font& normal,
                       const juce::Font& bold, const juce::Font& italic, juce::Colour colour)
{
    const IndexedText points (text);
    const auto n = points.size();
    size_t pendingStart = 0;

    const auto flushAndAppend = [&] (size_t pendingEnd, size_t runStart, size_t runEnd, const juce::Font& font) {
        if (pendingEnd > pendingStart)
            target.append (points.range (pendingStart, pendingEnd), normal, colour);
        if (runEnd > runStart)
            target.append (points.range (runStart, runEnd), font, colour);
    };

    for (size_t d = 0; d < n;)
    {
        if (d + 1 < n && points.chars[d] == '*' && points.chars[d + 1] == '*')
        {
            if (const auto f = points.find (d + 2, 2); f > (int) (d + 2))
            {
                flushAndAppend (d, d + 2, (size_t) f, bold);
                d = pendingStart = (size_t) f + 2;
                continue;
            }
        }

        if (points.chars[d] == '*')
        {
            if (const auto l = points.find (d + 1, 1); l > (int) (d + 1))
            {
                flushAndAppend (d, d + 1, (size_t) l, italic);
                d = pendingStart = (size_t) l + 1;
                continue;
            }
        }

        ++d;
    }

    flushAndAppend (n, n, n, normal);
}

panel_changelog::panel_changelog (juce::String changelogText, const juce::String& productNameToShow)
{
    unit = 9.0f;
    productName = productNameToShow;
    parseChangelog (changelogText);

    content = std::make_unique<ChangelogContent> (&entries);

    viewport = std::make_unique<juce::Viewport> (juce::String());
    addAndMakeVisible (*viewport);
    viewport->setViewedComponent (content.get(), false);
    viewport->setScrollBarsShown (true, false);
    viewport->setExplicitFocusOrder (1);
    viewport->setTitle ("Release notes text");

    closeButton = PanelFrame::makeHiddenButton (*this, *this, "X");
    PanelFrame::makeDialog (*this, "Release notes of " + productName);
}

panel_changelog::~panel_changelog() = default;

void panel_changelog::parseChangelog (const juce::String& text)
{
    entries = parseChangelogEntries (text);
}

void panel_changelog::paint (juce::Graphics& g)
{
    g.fillAll (PaletteInk);
    PanelFrame::paintHeading (g, "CHANGELOG - " + productName.toUpperCase(), unit);
    PanelFrame::paintCloseMark (g, *closeButton, unit);
    PanelFrame::paintFocusRing (g, *this, unit);
}

std::unique_ptr<juce::AccessibilityHandler> panel_changelog::createAccessibilityHandler()
{
    return PanelFrame::dialogHandler (*this);
}

void panel_changelog::resized()
{
    viewport->setBounds (PanelFrame::unitBounds (unit, 4.0f, 12.0f, 92.0f, 80.0f));

    // Laying out can make the content tall enough to need the scroll bar, which narrows the
    // visible width; the lines are then laid out once more for that width.
    const auto widthBefore = viewport->getMaximumVisibleWidth();
    content->layoutEntries (widthBefore, unit);
    if (viewport->getMaximumVisibleWidth() != widthBefore)
        content->layoutEntries (viewport->getMaximumVisibleWidth(), unit);

    PanelFrame::placeCloseButton (*closeButton, unit);
}

void panel_changelog::buttonClicked (juce::Button*)
{
    PanelFrame::close (*this);
}

panel_changelog::ChangelogContent::ChangelogContent (const std::vector<ChangelogEntry>* entriesToShow)
    : entries (entriesToShow)
{
    unit = 9.0f;
}

panel_changelog::ChangelogContent::~ChangelogContent() = default;

void panel_changelog::ChangelogContent::layoutEntries (int newContentWidth, float newUnit)
{
    contentWidth = newContentWidth;
    unit = newUnit;
    lines.clear();
    auto y = unit;

    for (const auto& entry : *entries)
    {
        if (entry.kind == ChangelogLineKind::Blank)
        {
            lines.push_back ({ entry.kind, {}, y, 1.5f * unit, 0.0f });
            y += 1.5f * unit;
            continue;
        }

        const auto style = styleFor (entry.kind, unit);
        juce::AttributedString text;
        text.setJustification (juce::Justification::topLeft);
        text.setWordWrap (juce::AttributedString::byWord);
        text.setLineSpacing (0.0f);
        appendInlineRuns (text, entry.text, style.normal, style.bold, style.italic, style.colour);

        juce::TextLayout layout;
        layout.createLayout (text, juce::jmax (1.0f, (float) contentWidth - style.indent - unit));

        const auto top = y + style.spaceBefore;
        lines.push_back ({ entry.kind, text, top, layout.getHeight(), style.indent });
        y = top + layout.getHeight() + style.spaceAfter;
    }

    setBounds (getX(), getY(), contentWidth, juce::roundToInt (y + unit));
}

void panel_changelog::ChangelogContent::paint (juce::Graphics& g)
{
    for (const auto& line : lines)
    {
        if (line.kind == ChangelogLineKind::Blank)
            continue;

        if (line.kind == ChangelogLineKind::Bullet)
        {
            g.setColour (PaletteGrey);
            g.setFont (PanelFrame::font (3.0f * unit, juce::Font::bold));
            g.drawText (juce::String::charToString ((juce::juce_wchar) 0x2022),
                        juce::Rectangle<float> (0.5f * unit, line.top, 3.0f * unit, 3.5f * unit).toNearestInt(),
                        juce::Justification::topLeft, false);
        }

        line.text.draw (g, { line.indent, line.top, (float) contentWidth - line.indent - unit, line.height + unit });
    }
}
