#include "MainComponent.h"
#include "Palette.h"
#include "SettingsFile.h"
#include "helpers/TestFolders.h"

namespace
{
juce::Image snapshotOf (juce::Component& c) { return c.createComponentSnapshot (c.getLocalBounds(), false, 1.0f); }

bool anyPixelNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour, int tolerance = 4)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto p = image.getPixelAt (x, y);
            if (std::abs (p.getRed() - colour.getRed()) <= tolerance && std::abs (p.getGreen() - colour.getGreen()) <= tolerance
                && std::abs (p.getBlue() - colour.getBlue()) <= tolerance)
                return true;
        }
    return false;
}

juce::Button& childButton (juce::Component& panel, const juce::String& name)
{
    for (auto* child : panel.getChildren())
        if (child->getName() == name)
            if (auto* button = dynamic_cast<juce::Button*> (child))
                return *button;
    throw std::runtime_error ("no button " + name.toStdString());
}
} // namespace

class Panels : public TemporaryPrefixTest
{
protected:
    void click (juce::Button::Listener& listener, juce::Button& button) const { listener.buttonClicked (&button); }

    void open (MainComponent& main, const juce::String& name) const { click (main, childButton (main, name)); }

    // The screen at its default size, 600 x 600 (unit 6), with these panels opened in order.
    void showPanels (MainComponent& main, std::initializer_list<const char*> names) const
    {
        main.setSize (600, 600);
        for (const auto* name : names)
            open (main, name);
    }
};

TEST_F (Panels, EachPanelOpensOverTheWholeScreenAtItsUnit)
{
    MainComponent main;
    showPanels (main, { "EULA", "SUPPORT", "SETTINGS", "CHANGES" });

    const std::pair<juce::Component*, float> panels[] = {
        { main.eulaPanel.get(), main.eulaPanel->unit }, { main.supportPanel.get(), main.supportPanel->unit },
        { main.settingsPanel.get(), main.settingsPanel->unit }, { main.changelogPanel.get(), main.changelogPanel->unit },
    };

    for (const auto& [panel, unit] : panels)
    {
        EXPECT_EQ (panel->getParentComponent(), &main);
        EXPECT_EQ (panel->getBounds(), main.getBounds());
        EXPECT_FLOAT_EQ (unit, 6.0f);
        EXPECT_TRUE (panel->isAlwaysOnTop());
        EXPECT_EQ (childButton (*panel, "X").getBounds(), juce::Rectangle<int> (528, 9, 48, 48));
    }

    EXPECT_EQ (main.supportPanel->productName, "Kestrune");
    EXPECT_EQ (main.supportPanel->productVersion, "1.0.0");
    EXPECT_EQ (main.changelogPanel->productName, "Kestrune");
    EXPECT_EQ (main.getChildren().getLast(), main.changelogPanel.get());  // the latest opened is in front
}

TEST_F (Panels, LicencePanelLayoutHeadingAndCloseMark)
{
    MainComponent main;
    showPanels (main, { "EULA" });
    auto& eula = *main.eulaPanel;

    EXPECT_EQ (eula.licenceEditor->getBounds(), juce::Rectangle<int> (24, 72, 552, 480));
    EXPECT_EQ (eula.licenceEditor->getText(), licenceText);
    EXPECT_TRUE (eula.licenceEditor->isMultiLine());
    EXPECT_FALSE (eula.licenceEditor->isReadOnly());
    EXPECT_EQ (eula.licenceEditor->findColour (juce::TextEditor::outlineColourId), PaletteInk);
    EXPECT_EQ (eula.licenceEditor->findColour (juce::TextEditor::textColourId), PaletteGrey);

    const auto image = snapshotOf (eula);
    EXPECT_TRUE (anyPixelNear (image, { 24, 14, 200, 22 }, PaletteWhite)) << "heading above its baseline at 36";
    EXPECT_FALSE (anyPixelNear (image, { 24, 40, 200, 30 }, PaletteWhite)) << "nothing below the heading line";
    // The close mark is half-transparent grey while the pointer is elsewhere: its brightest
    // pixels are those of grey at alpha 128 over the background, never full grey.
    const auto halfGrey = PaletteInk.overlaidWith (PaletteGrey.withAlpha ((juce::uint8) 128));
    EXPECT_TRUE (anyPixelNear (image, { 536, 17, 32, 32 }, halfGrey, 3));
    EXPECT_FALSE (anyPixelNear (image, { 536, 17, 32, 32 }, PaletteGrey, 20));
}

TEST_F (Panels, TypingKeepsThePanelOpenAndReopeningStartsAfresh)
{
    MainComponent main;
    showPanels (main, { "EULA" });
    auto* first = main.eulaPanel.get();

    first->licenceEditor->setText ("typed by the user");
    first->licenceEditor->insertTextAtCaret (" and more");
    EXPECT_EQ (first->getParentComponent(), &main);

    click (*first, *first->closeButton);
    EXPECT_EQ (first->getParentComponent(), nullptr);
    EXPECT_EQ (main.eulaPanel.get(), first) << "a closed panel stays owned";
    click (*first, *first->closeButton);  // closing again is harmless

    open (main, "EULA");
    EXPECT_EQ (main.eulaPanel->licenceEditor->getText(), licenceText);
    EXPECT_EQ (main.eulaPanel->getParentComponent(), &main);
}

TEST_F (Panels, PanelsFollowAResizeOfTheScreen)
{
    MainComponent main;
    showPanels (main, { "SUPPORT", "SETTINGS", "CHANGES", "EULA" });
    click (*main.supportPanel, *main.supportPanel->closeButton);  // closed ones follow too

    main.setSize (900, 900);

    EXPECT_EQ (main.eulaPanel->getBounds(), juce::Rectangle<int> (0, 0, 900, 900));
    EXPECT_FLOAT_EQ (main.eulaPanel->unit, 9.0f);
    EXPECT_EQ (main.eulaPanel->licenceEditor->getBounds(), juce::Rectangle<int> (36, 108, 828, 720));
    EXPECT_EQ (main.eulaPanel->closeButton->getBounds(), juce::Rectangle<int> (792, 14, 72, 72));
    EXPECT_EQ (main.supportPanel->mailButton->getBounds(), juce::Rectangle<int> (90, 315, 90, 90));
    EXPECT_EQ (main.settingsPanel->pathBoxes[0]->getBounds(), juce::Rectangle<int> (198, 144, 504, 45));
    EXPECT_EQ (main.changelogPanel->viewport->getBounds(), juce::Rectangle<int> (36, 108, 828, 720));
    EXPECT_EQ (main.changelogPanel->content->contentWidth, 828);
}

TEST (SupportMail, LinkForAKnownProductWithAwkwardProcessorName)
{
    const SystemDetails system { "Linux", "Linux (Desktop)", "Intel(R) Core(TM) i7-8700, 3.20GHz" };
    EXPECT_EQ (supportMailLink ("Kestrune", "1.0.0", system),
               "mailto:support@quillfern.example?subject=Kestrune%20help&body="
               "Product%3A%20Kestrune%201.0.0%0A"
               "Operating%20System%3A%20Linux%0A"
               "Device%3A%20Linux%20(Desktop)%0A"
               "CPU%3A%20Intel(R)%20Core(TM)%20i7-8700%2C%203.20GHz%0A"
               "%0A"
               "Your%20problem%2C%20and%20the%20steps%20to%20recreate%20it%2C%20if%20possible%3A%0A");
}

TEST (SupportMail, NothingInASystemDetailCanEndTheLinkOrReachAShell)
{
    const SystemDetails hostile { "OS\" ; rm -rf ~ #", "$(reboot) `id`", juce::String::fromUTF8 ("a&b=c?d#e\\f'g\nh Ä") };
    const auto link = supportMailLink ("My Synth", "2.1", hostile);
    const auto query = link.fromFirstOccurrenceOf ("?", false, false);

    EXPECT_TRUE (query.containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.~()%&="));
    EXPECT_EQ (query.upToFirstOccurrenceOf ("&", false, false), "subject=My%20Synth%20help");
    EXPECT_EQ (juce::URL::removeEscapeChars (query.fromFirstOccurrenceOf ("&body=", false, false)).fromFirstOccurrenceOf ("CPU: ", false, false),
               juce::String::fromUTF8 ("a&b=c?d#e\\f'g\nh Ä\n\nYour problem, and the steps to recreate it, if possible:\n"));
}

TEST_F (Panels, SupportPanelLayoutAtUnitSix)
{
    MainComponent main;
    showPanels (main, { "SUPPORT" });
    auto& support = *main.supportPanel;

    EXPECT_EQ (support.discordButton->getBounds(), juce::Rectangle<int> (60, 90, 60, 60));
    EXPECT_EQ (support.mailButton->getBounds(), juce::Rectangle<int> (60, 210, 60, 60));
    EXPECT_EQ (support.discordButton->getName(), "DISCORD");
    EXPECT_EQ (support.mailButton->getName(), "MAIL");

    const auto image = snapshotOf (support);
    const auto idleTile = PaletteInk.overlaidWith (PaletteGrey.withAlpha ((juce::uint8) 128));
    EXPECT_TRUE (anyPixelNear (image, { 62, 92, 4, 4 }, idleTile, 2));
    EXPECT_TRUE (anyPixelNear (image, { 132, 90, 200, 18 }, PaletteGrey, 30)) << "tile text starts at x 132";
    EXPECT_FALSE (anyPixelNear (image, { 121, 90, 10, 60 }, PaletteGrey, 30));
    EXPECT_TRUE (anyPixelNear (image, { 60, 514, 200, 14 }, PaletteGrey, 30)) << "rights notice on baseline 528";
    EXPECT_FALSE (anyPixelNear (image, { 60, 532, 200, 20 }, PaletteGrey, 30));
}

class SettingsPanel : public TemporaryPrefixTest
{
protected:
    juce::File settings() const { return driveC().getChildFile ("ProgramData/Quillfern/PluginManagerSettings.txt"); }

    void writeSettings (const juce::String& text) const
    {
        ASSERT_TRUE (settings().getParentDirectory().createDirectory());
        ASSERT_TRUE (settings().replaceWithText (text));
    }

    std::unique_ptr<panel_settings> makePanel()
    {
        return std::make_unique<panel_settings> (settings(), [this] (const juce::String& key, const juce::String& path) {
            calls.add (key + "=" + path);
        });
    }

    // The panel as the main screen shows it at its default size: 600 x 600, unit 6.
    std::unique_ptr<panel_settings> makePanelAtDefaultSize()
    {
        auto panel = makePanel();
        panel->unit = 6.0f;
        panel->setBounds (0, 0, 600, 600);
        return panel;
    }

    juce::StringArray boxTexts (const panel_settings& panel) const
    {
        juce::StringArray texts;
        for (auto* box : panel.pathBoxes)
            texts.add (box->getText());
        return texts;
    }

    juce::StringArray calls;
};

TEST_F (SettingsPanel, BoxesShowTheFileAndRowsAreLaidOutInUnits)
{
    writeSettings ("<?xml version=\"1.0\"?>\n<Plugin_Manager_Settings VST3_Path=\"C:\\V\" CLAP_Path=\"D:\\C\"/>");
    auto panel = makePanelAtDefaultSize();

    EXPECT_EQ (boxTexts (*panel).joinIntoString ("|"), "C:\\V|D:\\C|");
    EXPECT_EQ (panel->pathBoxes[0]->getBounds(), juce::Rectangle<int> (132, 96, 336, 30));
    EXPECT_EQ (panel->browseButtons[0]->getBounds(), juce::Rectangle<int> (480, 96, 96, 30));
    EXPECT_EQ (panel->pathBoxes[1]->getY(), 135);
    EXPECT_EQ (panel->pathBoxes[2]->getY(), 174);
    EXPECT_EQ (panel->browseButtons[2]->getName(), "BROWSE2");
    EXPECT_TRUE (panel->pathBoxes[0]->isReadOnly());
    EXPECT_EQ (panel->chooserTitle (0), "Choose the VST3 install folder");
    EXPECT_EQ (panel->chooserTitle (2), "Choose the AAX install folder");

    const auto image = snapshotOf (*panel);
    EXPECT_TRUE (anyPixelNear (image, { 24, 300, 552, 15 }, PaletteInk.overlaidWith (PaletteGrey.withAlpha ((juce::uint8) 178)), 40));
    EXPECT_FALSE (anyPixelNear (image, { 24, 346, 552, 74 }, PaletteGrey, 60)) << "the note keeps to three lines";
}

TEST_F (SettingsPanel, AChoiceRewritesOnlyItsAttributeAndCallsBack)
{
    writeSettings ("<?xml version=\"1.0\"?>\n<Plugin_Manager_Settings Important_Note:=\"n\" CLAP_Path=\"C:\\Old CLAP\" "
                   "VST3_Path=\"C:\\Old VST3\" Extra=\"kept\"/>");
    auto panel = makePanel();
    const auto chosen = driveC().getChildFile ("Plugins/AAX");

    panel->folderChosen (1, driveC().getChildFile ("Plugins/CLAP"));
    panel->folderChosen (2, chosen);  // AAX_Path is missing: appended

    auto element = juce::parseXML (settings());
    ASSERT_NE (element, nullptr);
    juce::StringArray attributes;
    for (int i = 0; i < element->getNumAttributes(); ++i)
        attributes.add (element->getAttributeName (i) + "=" + element->getAttributeValue (i));
    EXPECT_EQ (attributes.joinIntoString ("|"),
               "Important_Note:=n|CLAP_Path=C:\\Plugins\\CLAP|VST3_Path=C:\\Old VST3|Extra=kept|AAX_Path=C:\\Plugins\\AAX");
    EXPECT_EQ (boxTexts (*panel).joinIntoString ("|"), "C:\\Old VST3|C:\\Plugins\\CLAP|C:\\Plugins\\AAX");
    EXPECT_EQ (calls.joinIntoString ("|"), "CLAP_Path=C:\\Plugins\\CLAP|AAX_Path=C:\\Plugins\\AAX");
    EXPECT_TRUE (settings().loadFileAsString().contains ("\r\n"));
    EXPECT_TRUE (panel->saveProblem.isEmpty());
}

TEST_F (SettingsPanel, PermissionDeniedOnTheFileIsReportedOnThePanel)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"C:\\V\"/>");
    const auto before = settings().loadFileAsString();
    auto panel = makePanelAtDefaultSize();
    ASSERT_TRUE (settings().setReadOnly (true));
    ASSERT_TRUE (settings().getParentDirectory().setReadOnly (true));

    panel->folderChosen (0, driveC().getChildFile ("Mine"));
    settings().getParentDirectory().setReadOnly (false);
    settings().setReadOnly (false);

    if (settings().loadFileAsString() != before)
        GTEST_SKIP() << "this user may write anywhere";
    EXPECT_TRUE (panel->saveProblem.startsWith ("Could not save the VST3 folder"));
    EXPECT_EQ (calls.size(), 1);
    const auto image = snapshotOf (*panel);
    EXPECT_TRUE (anyPixelNear (image, { 24, 228, 552, 20 }, PaletteOrange, 40));
}

TEST_F (SettingsPanel, CancelChangesNothing)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"C:\\V\"/>");
    const auto before = settings().loadFileAsString();
    auto panel = makePanel();

    panel->folderChosen (0, juce::File());

    EXPECT_EQ (settings().loadFileAsString(), before);
    EXPECT_EQ (boxTexts (*panel)[0], "C:\\V");
    EXPECT_TRUE (calls.isEmpty());
}

TEST_F (SettingsPanel, AMissingOrBrokenFileIsNeverCreatedOrChanged)
{
    for (const juce::String& broken : { juce::String(), juce::String ("not xml at all"), juce::String ("<") })
    {
        settings().deleteFile();
        if (broken.isNotEmpty())
            writeSettings (broken);

        auto panel = makePanel();
        EXPECT_EQ (boxTexts (*panel).joinIntoString ("|"), "||");

        panel->folderChosen (0, driveC().getChildFile ("Mine"));
        EXPECT_EQ (boxTexts (*panel)[0], "C:\\Mine");
        EXPECT_EQ (calls.size(), 1) << "the main screen still takes the folder";
        EXPECT_EQ (panel->saveProblem, "Could not save the VST3 folder to PluginManagerSettings.txt; it is used until the installer closes.");
        if (broken.isEmpty())
            EXPECT_FALSE (settings().exists());
        else
            EXPECT_EQ (settings().loadFileAsString(), broken);
        calls.clear();
    }
}

TEST_F (SettingsPanel, AChoiceReachesTheMainScreenForThatRowOnly)
{
    MainComponent main;
    main.setSize (600, 600);
    const auto before = main.formatFolders;
    main.buttonClicked (&childButton (main, "SETTINGS"));

    const auto chosen = driveC().getChildFile ("Plugins/CLAP");
    ASSERT_TRUE (chosen.createDirectory());
    main.settingsPanel->folderChosen (1, chosen);

    EXPECT_EQ (main.formatFolders[1], chosen);
    EXPECT_EQ (main.formatFolders[0], before[0]);
    EXPECT_EQ (main.formatFolders[2], before[2]);
    EXPECT_EQ (juce::parseXML (settings())->getStringAttribute ("CLAP_Path"), "C:\\Plugins\\CLAP");

    // The next settings panel reads the choice back from the file.
    main.buttonClicked (&childButton (main, "SETTINGS"));
    EXPECT_EQ (main.settingsPanel->pathBoxes[1]->getText(), "C:\\Plugins\\CLAP");
}

TEST_F (SettingsPanel, AFolderWindowsCannotNameIsRefusedAndTheOldOneStays)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"C:\\V\"/>");
    const auto before = settings().loadFileAsString();
    auto panel = makePanelAtDefaultSize();

    for (const juce::String name : { "a\\b", "a:b", "what?", "tab\there", "ends with a dot.", "pipe|d" })
    {
        const auto chosen = driveC().getChildFile (name).getChildFile ("VST3");
        panel->folderChosen (0, chosen);
        EXPECT_TRUE (panel->saveProblem.endsWith ("has a name Windows cannot use (\\ / : * ? \" < > |); the VST3 folder stays as it was.")) << name;
        EXPECT_EQ (boxTexts (*panel)[0], "C:\\V") << name;
    }

    EXPECT_EQ (settings().loadFileAsString(), before);
    EXPECT_TRUE (calls.isEmpty());
    EXPECT_TRUE (anyPixelNear (snapshotOf (*panel), { 24, 222, 552, 20 }, PaletteOrange, 40));

    // An ordinary name is taken again, and the line goes.
    panel->folderChosen (0, driveC().getChildFile ("Plug-ins (x64) & more"));
    EXPECT_TRUE (panel->saveProblem.isEmpty());
    EXPECT_EQ (boxTexts (*panel)[0], "C:\\Plug-ins (x64) & more");
}

TEST_F (SettingsPanel, AFolderOnAnUnavailableDriveIsPointedOut)
{
    writeSettings ("<Plugin_Manager_Settings VST3_Path=\"C:\\V\" AAX_Path=\"E:\\Plugins\\AAX\"/>");
    auto panel = makePanelAtDefaultSize();

    EXPECT_EQ (panel->driveProblems.joinIntoString ("|"), "Drive E: is not available: AAX cannot be installed there.");
    EXPECT_TRUE (anyPixelNear (snapshotOf (*panel), { 24, 222, 552, 20 }, PaletteOrange, 40));
    EXPECT_FALSE (Platform::entryExists (prefix.getChildFile ("dosdevices/e:")));

    panel->folderChosen (2, driveC().getChildFile ("AAX"));
    EXPECT_TRUE (panel->driveProblems.isEmpty());
}
