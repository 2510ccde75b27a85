#include "MainComponent.h"
#include "PanelFrame.h"
#include "helpers/BundleFixtures.h"
#include "helpers/TestFolders.h"

namespace
{
juce::String focusOrderOf (juce::Component& container)
{
    juce::StringArray names;
    for (auto* c : container.createKeyboardFocusTraverser()->getAllComponents (&container))
        names.add (c->getName().isNotEmpty() ? c->getName() : c->getTitle());
    return names.joinIntoString (",");
}

bool pressKey (juce::Component& target, int keyCode, juce::ModifierKeys mods = {})
{
    return target.keyPressed (juce::KeyPress (keyCode, mods, 0));
}
} // namespace

// The screen on the desktop, as in the real window, so that focus and showing work.
class KeyboardUse : public TemporaryPrefixTest
{
protected:
    void SetUp() override
    {
        TemporaryPrefixTest::SetUp();
        main = std::make_unique<MainComponent>();
        main->addToDesktop (0);
        main->setVisible (true);
    }

    void TearDown() override
    {
        main = nullptr;
        PanelFrame::keyboardFocusVisible() = false;
        TemporaryPrefixTest::TearDown();
    }

    void openPanel (const juce::String& name) const
    {
        for (auto& link : main->linkButtons)
            if (link->getName() == name)
                main->buttonClicked (link.get());
    }

    bool childButtonHasFocus (const juce::String& name) const
    {
        for (auto& link : main->linkButtons)
            if (link->getName() == name)
                return link->hasKeyboardFocus (false);
        return false;
    }

    std::unique_ptr<MainComponent> main;
};

TEST_F (KeyboardUse, FocusMovesInReadingOrderOnTheScreenAndInsideEachPanel)
{
    EXPECT_EQ (focusOrderOf (*main), "VST3,CLAP,AAX,SELECT_ALL,EULA,WEBSITE,SETTINGS,MANUAL,SUPPORT,CHANGES,INSTALL");

    const std::pair<const char*, const char*> panels[] = {
        { "EULA", "Licence agreement text|X" },
        { "SUPPORT", "DISCORD,MAIL,X" },
        { "SETTINGS", "VST3 install folder,BROWSE0,CLAP install folder,BROWSE1,AAX install folder,BROWSE2,X" },
        { "CHANGES", "Release notes text|X" },
    };
    for (const auto& [name, expected] : panels)
    {
        openPanel (name);
        auto* panel = juce::Component::getCurrentlyFocusedComponent()->findKeyboardFocusContainer();
        ASSERT_NE (panel, nullptr) << name;
        ASSERT_NE (panel, main.get()) << name << ": the focus did not move into the panel";
        EXPECT_EQ (focusOrderOf (*panel), juce::String (expected).replace ("|", ",")) << name;
        EXPECT_TRUE (pressKey (*main, juce::KeyPress::escapeKey)) << name;
        EXPECT_FALSE (main->isPanelOpen()) << name;
        EXPECT_TRUE (childButtonHasFocus (name)) << name << ": the focus did not come back to its button";
    }
}

TEST_F (KeyboardUse, ControlsUnderAPanelTakeNoFocusAndNoKeys)
{
    extractEmbeddedArchive (0, main->formatFolders[0]);
    main->formatSelected[0] = true;
    const auto before = snapshotOf (root);

    openPanel ("EULA");
    for (auto* child : main->getChildren())
        if (auto* button = dynamic_cast<AccessibleButton*> (child))
        {
            EXPECT_FALSE (button->isEnabled()) << button->getName();
            EXPECT_FALSE (pressKey (*button, juce::KeyPress::returnKey, juce::ModifierKeys::shiftModifier)) << button->getName();
            EXPECT_FALSE (focusOrderOf (*main).contains (button->getName())) << button->getName();
        }

    main->installButton->grabKeyboardFocus();
    EXPECT_FALSE (main->installButton->hasKeyboardFocus (false));
    EXPECT_EQ (snapshotOf (root), before);  // nothing removed under the panel

    PanelFrame::close (*main->eulaPanel);
    EXPECT_TRUE (main->installButton->isEnabled());
    EXPECT_TRUE (pressKey (*main->installButton, juce::KeyPress::spaceKey));
}

TEST_F (KeyboardUse, TheFocusIsDrawnOnlyAfterAKeyMovedIt)
{
    main->setSize (600, 600);
    main->formatButtons[1]->grabKeyboardFocus();
    const auto ring = [&] { return main->createComponentSnapshot (main->getLocalBounds()).getPixelAt (302, 200); };
    const auto beforeKey = ring();

    EXPECT_FALSE (pressKey (*main, juce::KeyPress::tabKey));  // the framework moves the focus
    EXPECT_TRUE (PanelFrame::keyboardFocusVisible());
    EXPECT_EQ (ring(), juce::Colour (0xfff5f5f5));
    EXPECT_NE (beforeKey, ring());

    main->mouseDown (juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), {}, {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                       main.get(), main.get(), juce::Time::getCurrentTime(), {}, juce::Time::getCurrentTime(), 1, false));
    EXPECT_FALSE (PanelFrame::keyboardFocusVisible());
    EXPECT_EQ (ring(), beforeKey);
}

TEST_F (KeyboardUse, ClosingTheWindowWithAHoveredControlIsClean)
{
    // Found closing the real window: the default look-and-feel was reset while the screen was
    // still showing with its buttons gone, and the repaint that followed crashed.
    auto window = std::make_unique<juce::DocumentWindow> ("qf_installer", juce::Colours::black, 0);
    window->setContentOwned (main.release(), true);
    window->setVisible (true);
    auto* content = dynamic_cast<MainComponent*> (window->getContentComponent());
    ASSERT_NE (content, nullptr);
    content->buttonStateChanged (content->formatButtons[0].get());
    window = nullptr;  // under the sanitizers any use of a destroyed member is reported
    SUCCEED();
}

namespace
{
juce::String describe (const juce::AccessibilityHandler& handler)
{
    const auto state = handler.getCurrentState();
    juce::String text;
    text << (handler.getRole() == juce::AccessibilityRole::toggleButton ? "toggle" : handler.getRole() == juce::AccessibilityRole::button ? "button" : "other")
         << " | " << handler.getTitle();
    if (auto* value = handler.getValueInterface())
        text << " | " << value->getCurrentValueAsString();
    if (state.isCheckable())
        text << (state.isChecked() ? " | selected" : " | not selected");
    return text;
}

juce::String describe (juce::Component& c)
{
    auto* handler = c.getAccessibilityHandler();
    return handler != nullptr && c.isVisible() ? describe (*handler) : juce::String ("(hidden)");
}
} // namespace

TEST_F (KeyboardUse, EveryControlTellsAssistiveTechnologyWhatItIs)
{
    struct Case { const char* stage; std::map<juce::String, juce::String> expected; };
    const Case cases[] = {
        { "fresh", {
            { "VST3", "toggle | VST3 | not installed | not selected" },
            { "AAX", "toggle | AAX | not installed | not selected" },
            { "INSTALL", "button | Install selected" },
            { "SELECT_ALL", "button | Select all" },
            { "WEBSITE", "button | Product web site" },
            { "EULA", "button | Licence agreement" } } },
        { "VST3 installed and selected, Shift held", {
            { "VST3", "toggle | VST3 | installed, version 1.0.0.0 | selected" },
            { "CLAP", "toggle | CLAP | not installed | not selected" },
            { "INSTALL", "button | Uninstall selected" } } },
        { "after a run", {
            { "VST3", "(hidden)" },
            { "INSTALL", "(hidden)" },
            { "SETTINGS", "button | Install folders" } } },
    };

    for (const auto& c : cases)
    {
        const juce::String stage (c.stage);
        if (stage.startsWith ("VST3"))
        {
            extractEmbeddedArchive (0, main->formatFolders[0]);
            main->formatSelected[0] = true;
            main->modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier));
        }
        if (stage == "after a run")
        {
            main->modifierKeysChanged (juce::ModifierKeys());
            main->runInstallOrUninstall();
            main->finishRun();
        }

        for (const auto& [name, expected] : c.expected)
            for (auto* child : main->getChildren())
            {
                if (child->getName() == name)
                {
                    EXPECT_EQ (describe (*child), expected) << c.stage << ": " << name;
                }
            }
    }

    EXPECT_EQ (main->resultLabel->getText(), "SUCCESS!");
    EXPECT_TRUE (main->resultLabel->isVisible());
    ASSERT_NE (main->linkButtons[2]->getAccessibilityHandler(), nullptr);
    EXPECT_EQ (main->linkButtons[2]->getAccessibilityHandler()->getHelp(), "Opens https://quillfern.example/ in your web browser");

    openPanel ("SUPPORT");
    auto* dialog = main->supportPanel->getAccessibilityHandler();
    ASSERT_NE (dialog, nullptr);
    EXPECT_EQ (dialog->getRole(), juce::AccessibilityRole::dialogWindow);
    EXPECT_EQ (dialog->getTitle(), "Support");
}
