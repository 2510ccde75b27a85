#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

enum class ChangelogLineKind
{
    Heading1,
    Heading2,
    Heading3,
    Paragraph,
    Bullet,
    Blank
};

struct ChangelogEntry
{
    ChangelogLineKind kind;
    juce::String text;
};

struct LaidOutEntry
{
    ChangelogLineKind kind;
    juce::AttributedString text;
    float top = 0.0f;
    float height = 0.0f;
    float indent = 0.0f;
};

// The entries of a changelog text. The first non-empty line is the title and is dropped; a
// run of empty lines after the first entry becomes one Blank.
std::vector<ChangelogEntry> parseChangelogEntries (const juce::String& text);

// Appends text to the styled string as runs: "**bold**" in the bold font, "*italic*" in the
// italic font, the rest in the normal font, all in one colour. An asterisk without a partner
// stays a literal asterisk; nothing else of Markdown is read.
void appendInlineRuns (juce::AttributedString& target, const juce::String& text, const juce::Font& normal,
                       const juce::Font& bold, const juce::Font& italic, juce::Colour colour);

// The product's release notes: a small Markdown subset (headings, bullets, paragraphs, bold and
// italic) laid out as word-wrapped styled lines in a vertically scrolling view.
class panel_changelog : public juce::Component,
                        public juce::Button::Listener
{
public:
    panel_changelog (juce::String changelogText, const juce::String& productNameToShow);
    ~panel_changelog() override;

    void paint (juce::Graphics&) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    // Replaces the entries with those of the text (parseChangelogEntries).
    void parseChangelog (const juce::String& text);

    // The laid-out lines, drawn with no background of their own.
    class ChangelogContent : public juce::Component
    {
    public:
        explicit ChangelogContent (const std::vector<ChangelogEntry>* entriesToShow);
        ~ChangelogContent() override;

        void paint (juce::Graphics&) override;

        // Lays every entry out for this width and unit, and sizes the component to fit them.
        void layoutEntries (int newContentWidth, float newUnit);

        const std::vector<ChangelogEntry>* entries = nullptr;
        std::vector<LaidOutEntry> lines;
        int contentWidth = 0;
        float unit = 9.0f;

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChangelogContent)
    };

    float unit = 9.0f;
    juce::String productName;
    std::vector<ChangelogEntry> entries;
    std::unique_ptr<ChangelogContent> content;
    std::unique_ptr<juce::Viewport> viewport;
    std::unique_ptr<juce::TextButton> closeButton;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (panel_changelog)
};
