#include "MainComponent.h"
#include "Palette.h"
#include "helpers/BundleFixtures.h"
#include "helpers/MessageLoop.h"
#include "helpers/TestFolders.h"

#include <thread>

namespace
{
bool near (juce::Colour a, juce::Colour b, int tolerance = 3)
{
    return std::abs (a.getRed() - b.getRed()) <= tolerance && std::abs (a.getGreen() - b.getGreen()) <= tolerance
           && std::abs (a.getBlue() - b.getBlue()) <= tolerance && std::abs (a.getAlpha() - b.getAlpha()) <= tolerance;
}

juce::Colour over (juce::Colour fill) { return PaletteInk.overlaidWith (fill); }

int pixelsNear (const juce::Image& image, juce::Rectangle<int> area, juce::Colour colour)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += near (image.getPixelAt (x, y), colour) ? 1 : 0;
    return count;
}
} // namespace

class MainScreen : public TemporaryPrefixTest
{
protected:
    juce::Image paint (MainComponent& main) const { return main.createComponentSnapshot (main.getLocalBounds(), false, 1.0f); }

    // A point inside the row's face, right of its texts: only the fill is there.
    static juce::Point<int> fillPoint (const MainComponent& main, int row)
    {
        const auto b = main.formatButtons[(size_t) row]->getBounds();
        return { b.getRight() - 12, b.getCentreY() };
    }

    void click (MainComponent& main, juce::Button& button) const { main.buttonClicked (&button); }
};

TEST_F (MainScreen, LayoutInUnitsAtThreeWidths)
{
    MainComponent main;
    struct Case { int width; std::map<juce::String, juce::Rectangle<int>> bounds; };
    const Case cases[] = {
        { 600, { { "EULA", { 24, 444, 96, 24 } }, { "MANUAL", { 24, 474, 96, 24 } }, { "WEBSITE", { 126, 444, 96, 24 } },
                 { "SUPPORT", { 126, 474, 96, 24 } }, { "SETTINGS", { 228, 444, 96, 24 } }, { "CHANGES", { 228, 474, 96, 24 } },
                 { "INSTALL", { 516, 441, 60, 60 } }, { "SELECT_ALL", { 462, 132, 114, 30 } }, { "VST3", { 24, 180, 270, 60 } },
                 { "CLAP", { 306, 180, 270, 60 } }, { "AAX", { 24, 252, 270, 60 } } } },
        { 300, { { "INSTALL", { 258, 220, 30, 30 } } } },
        { 333, { { "EULA", { 13, 246, 53, 13 } } } },
    };

    for (const auto& c : cases)
    {
        main.setSize (c.width, c.width);
        EXPECT_FLOAT_EQ (main.unit, (float) c.width * 0.01f);
        for (auto* child : main.getChildren())
        {
            if (c.bounds.count (child->getName()) > 0)
            {
                EXPECT_EQ (child->getBounds(), c.bounds.at (child->getName())) << child->getName() << " at " << c.width;
            }
        }
    }

    main.setSize (600, 600);
    EXPECT_EQ (main.hintLabel->getBounds(), juce::Rectangle<int> (24, 540, 552, 18));
    EXPECT_FLOAT_EQ (main.hintLabel->getFont().getHeight(), 18.0f);
    main.setSize (333, 333);
    EXPECT_NEAR (main.hintLabel->getFont().getHeight(), 9.99f, 1e-4f);
}

TEST_F (MainScreen, ControlsInStackingOrderWithTheVersionHint)
{
    MainComponent main;
    juce::StringArray names;
    for (auto* child : main.getChildren())
        names.add (child->getName());
    EXPECT_EQ (names.joinIntoString (","), "EULA,MANUAL,WEBSITE,SUPPORT,SETTINGS,CHANGES,VST3,CLAP,AAX,INSTALL,SELECT_ALL,,");
    EXPECT_EQ (main.hintLabel->getText(), "1.3.0");
    for (auto* child : main.getChildren())
    {
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
        {
            EXPECT_EQ (button->getAlpha(), 0.0f);
        }
    }
}

TEST_F (MainScreen, RowsArePaintedByTheirLiveStatus)
{
    MainComponent main;
    auto image = paint (main);
    EXPECT_EQ (image.getPixelAt (300, 3), PaletteBlue);   // top strip
    EXPECT_EQ (image.getPixelAt (300, 400), PaletteInk);  // background
    for (int row = 0; row < numFormats; ++row)
        EXPECT_TRUE (near (image.getPixelAt (fillPoint (main, row).x, fillPoint (main, row).y), over (PaletteGrey.withAlpha ((juce::uint8) 89)))) << row;

    extractEmbeddedArchive (0, main.formatFolders[0]);
    extractEmbeddedArchive (1, main.formatFolders[1]);
    ASSERT_TRUE (juce::File (QF_PE_FIXTURE_DIR).getChildFile ("pe32plus_0_9_5_0.dll")
                     .copyFileTo (main.formatFolders[1].getChildFile ("Kestrune.clap")));

    image = paint (main);  // no refresh step: the next paint shows the new bundles
    auto at = [&] (int row) { return image.getPixelAt (fillPoint (main, row).x, fillPoint (main, row).y); };
    EXPECT_TRUE (near (at (0), over (PaletteBlue.withAlpha ((juce::uint8) 230))));
    EXPECT_TRUE (near (at (1), over (PaletteOrange.withAlpha ((juce::uint8) 230))));
    EXPECT_TRUE (near (at (2), over (PaletteGrey.withAlpha ((juce::uint8) 89))));
}

TEST_F (MainScreen, SelectionOutlineFollowsTogglesAndSelectAll)
{
    MainComponent main;
    const auto edge = [&] (int row) { auto b = main.formatButtons[(size_t) row]->getBounds(); return paint (main).getPixelAt (b.getX(), b.getCentreY()); };
    EXPECT_FALSE (near (edge (0), PaletteYellow));

    click (main, *main.formatButtons[0]);
    EXPECT_TRUE (main.formatSelected[0]);
    EXPECT_TRUE (near (edge (0), PaletteYellow));
    click (main, *main.formatButtons[0]);
    EXPECT_FALSE (main.formatSelected[0]);

    for (int i = 0; i < 2; ++i)
    {
        click (main, *main.selectAllButton);
        EXPECT_EQ (main.formatSelected, (std::array<bool, numFormats> { true, true, true }));
    }
    EXPECT_TRUE (near (edge (2), PaletteYellow));
}

TEST_F (MainScreen, ShiftTurnsTheWordIntoUninstall)
{
    MainComponent main;
    const auto wordArea = juce::Rectangle<int> (516, 505, 60, 15);
    const auto before = paint (main).getClippedImage (wordArea).createCopy();

    main.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier));
    EXPECT_TRUE (main.shiftHeld);
    const auto shifted = paint (main).getClippedImage (wordArea).createCopy();
    EXPECT_GT (pixelsNear (shifted, shifted.getBounds(), PaletteGrey), pixelsNear (before, before.getBounds(), PaletteGrey));

    main.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::ctrlModifier));
    EXPECT_FALSE (main.shiftHeld);
    EXPECT_EQ (main.lastModifierBits, 2);
}

TEST_F (MainScreen, ARunEndsInTheSuccessViewWithButtonsHidden)
{
    MainComponent main;
    click (main, *main.formatButtons[0]);
    click (main, *main.formatButtons[2]);
    click (main, *main.installButton);
    main.finishRun();

    EXPECT_TRUE (main.operationDone);
    EXPECT_TRUE (main.formatFolders[0].getChildFile ("Kestrune.vst3/Contents/x86_64-win/Kestrune.vst3").existsAsFile());
    EXPECT_FALSE (main.formatFolders[1].getChildFile ("Kestrune.clap").exists());
    EXPECT_TRUE (main.formatFolders[2].getChildFile ("Kestrune.aaxplugin").isDirectory());
    for (auto* hidden : { main.formatButtons[0].get(), main.formatButtons[1].get(), main.formatButtons[2].get(),
                          main.selectAllButton.get(), main.installButton.get() })
        EXPECT_FALSE (hidden->isVisible()) << hidden->getName();
    for (auto& link : main.linkButtons)
        EXPECT_TRUE (link->isVisible());
    EXPECT_EQ (main.failureDetail(), "");

    const auto image = paint (main);
    EXPECT_GT (pixelsNear (image, { 96, 240, 408, 84 }, PaletteGreen), 500);   // the large green icon
    EXPECT_EQ (image.getPixelAt (fillPoint (main, 2).x, fillPoint (main, 2).y), PaletteInk);  // no rows
    EXPECT_EQ (image.getPixelAt (560, 147), PaletteInk);                        // no select-all face

    // Every temporary colour swap was undone.
    EXPECT_FALSE (main.installIcon->replaceColour (PaletteGreen, PaletteGreen));
    EXPECT_TRUE (main.installIcon->replaceColour (PaletteCoal, PaletteCoal));
    EXPECT_TRUE (main.logoDrawable->replaceColour (juce::Colours::black, juce::Colours::black));
    EXPECT_FALSE (main.logoDrawable->replaceColour (PaletteWhite, PaletteWhite));
}

namespace
{
// Holds a run at the first buffer that takes it past `holdAfter` bytes, until the test lets it
// go on.
class HeldRun : public RunListener
{
public:
    explicit HeldRun (juce::int64 bytes = 0) : holdAfter (bytes) {}

    void bytesWritten (juce::int64 bytes) override
    {
        written += bytes;
        if (written > holdAfter && ! held.exchange (true))
        {
            reached.signal();
            carryOn.wait (-1);
        }
    }

    const juce::int64 holdAfter;
    juce::int64 written = 0;
    juce::WaitableEvent reached, carryOn;
    std::atomic<bool> held { false };
};

// Keeps a picture for the README beside the end-to-end tests' screenshots. PNG bytes hold no
// date, so an unchanged screen leaves the file unchanged.
void saveScreenshot (const juce::Image& image, const char* name)
{
    juce::MemoryOutputStream png;
    if (juce::PNGImageFormat().writeImageToStream (image, png))
        juce::File (QF_TEST_SOURCE_DIR).getSiblingFile ("docs/screenshots").getChildFile (name).replaceWithData (png.getData(), png.getDataSize());
}

// The screen in a window of its own, counting its paints.
class PaintCountingScreen : public MainComponent
{
public:
    void paint (juce::Graphics& g) override
    {
        ++paints;
        MainComponent::paint (g);
    }

    int paints = 0;
};
} // namespace

TEST_F (MainScreen, ARunInProgressTakesNoClicksKeepsPaintingAndEndsInTheResultView)
{
    PaintCountingScreen main;
    HeldRun hold (12 * 1024 * 1024);  // a third of the way
    main.runObserver = &hold;
    main.addToDesktop (0);
    main.setVisible (true);
    ASSERT_TRUE (bundleFile (main.formatFolders[2], "Kestrune", 2).createDirectory());  // an AAX bundle to replace
    click (main, *main.formatButtons[0]);
    click (main, *main.formatButtons[2]);
    const auto beforeRun = paint (main);
    click (main, *main.installButton);
    ASSERT_TRUE (hold.reached.wait (10000));

    // Clicks on the rows, SELECT ALL and INSTALL change nothing, and start no second run.
    for (auto* button : { main.formatButtons[1].get(), main.selectAllButton.get(), main.installButton.get(), main.linkButtons[4].get() })
    {
        EXPECT_FALSE (button->isEnabled()) << button->getName();
        click (main, *button);
    }
    EXPECT_EQ (main.formatSelected, (std::array<bool, numFormats> { true, false, true }));
    EXPECT_FALSE (main.isPanelOpen());

    // Before the progress delay the screen is as it was; the AAX row, waiting for its turn,
    // shows its state from before the run.
    EXPECT_EQ (paint (main).getPixelAt (fillPoint (main, 2).x, fillPoint (main, 2).y), beforeRun.getPixelAt (fillPoint (main, 2).x, fillPoint (main, 2).y));

    // The window keeps painting while the run is held, and shows the progress view.
    const auto paintsBefore = main.paints;
    runMessageLoopFor (700);
    EXPECT_TRUE (main.isRunning());
    EXPECT_GE (main.paints - paintsBefore, 5);
    EXPECT_TRUE (main.showsProgress());
    EXPECT_EQ (main.progressTitle(), "Installing VST3");
    const auto progress = paint (main);
    EXPECT_GT (pixelsNear (progress, { 24, 270, 552, 12 }, over (PaletteGrey.withAlpha (0.2f))), 1000);  // the bar's track
    EXPECT_EQ (progress.getPixelAt (560, 147), PaletteInk);  // no select-all face meanwhile
    saveScreenshot (progress, "progress.png");

    hold.carryOn.signal();
    ASSERT_TRUE (runMessageLoopUntil ([&] { return main.operationDone; }, 30000));
    EXPECT_FALSE (main.isRunning());
    EXPECT_EQ (main.rowOutcomes[0], RowOutcome::Installed);
    EXPECT_EQ (main.rowOutcomes[2], RowOutcome::Installed);
    EXPECT_EQ (main.formatSelected, (std::array<bool, numFormats> {}));
    EXPECT_GT (pixelsNear (paint (main), { 96, 240, 408, 84 }, PaletteGreen), 500);
    EXPECT_TRUE (main.linkButtons[4]->isEnabled());
    EXPECT_FALSE (main.installButton->isVisible());
}

TEST_F (MainScreen, ClosingDuringARunStopsItWithTheOldBundleWhole)
{
    const auto folder = defaultFormatFolder (0);
    const auto old = bundleFile (folder, "Kestrune", 0).getChildFile ("old-file");
    ASSERT_TRUE (old.create());
    HeldRun hold;
    std::thread releaser;
    {
        MainComponent main;
        main.runObserver = &hold;
        click (main, *main.installButton);  // VST3 present: starts selected
        ASSERT_TRUE (hold.reached.wait (10000));
        // Let go only once closing has begun: the run is asked to stop before it can finish.
        releaser = std::thread ([&] { juce::Thread::sleep (300); hold.carryOn.signal(); });
    }   // closing waits for the run, which stops after the buffer it was writing
    releaser.join();

    EXPECT_TRUE (old.existsAsFile());
    for (const auto& entry : juce::RangedDirectoryIterator (folder.getParentDirectory(), false, ".qf-staging*", juce::File::findFilesAndDirectories))
        ADD_FAILURE() << "staging left behind: " << entry.getFile().getFullPathName();
}

TEST_F (MainScreen, AFailedRowShowsFailedInOrangeAndNamesTheFormat)
{
    MainComponent main;
    ASSERT_TRUE (root.getChildFile ("a-file").create());
    main.formatFolders[0] = root.getChildFile ("a-file/VST3");  // a folder that cannot be created
    click (main, *main.formatButtons[0]);
    click (main, *main.formatButtons[1]);
    click (main, *main.installButton);
    main.finishRun();

    EXPECT_EQ (main.rowOutcomes[0], RowOutcome::InstallFailed);
    EXPECT_EQ (main.rowOutcomes[1], RowOutcome::Installed);
    EXPECT_EQ (main.failureDetail(), "Could not install: VST3");
    EXPECT_EQ (main.failureReasons(), "VST3: could not create the folder " + Platform::windowsPathOf (root.getChildFile ("a-file/VST3")));

    const auto image = paint (main);
    EXPECT_GT (pixelsNear (image, { 96, 240, 408, 84 }, PaletteOrange), 500);
    EXPECT_EQ (pixelsNear (image, { 96, 240, 408, 84 }, PaletteGreen), 0);
    EXPECT_FALSE (main.installIcon->replaceColour (PaletteOrange, PaletteOrange));
}

TEST_F (MainScreen, ShiftInstallRemovesTheSelectedBundlesOnly)
{
    extractEmbeddedArchive (0, defaultFormatFolder (0));
    ASSERT_TRUE (defaultFormatFolder (0).getChildFile ("Other.vst3").createDirectory());
    MainComponent main;
    EXPECT_TRUE (main.formatSelected[0]);  // installed rows start selected

    main.modifierKeysChanged (juce::ModifierKeys (juce::ModifierKeys::shiftModifier));
    click (main, *main.installButton);
    main.finishRun();
    EXPECT_EQ (main.rowOutcomes[0], RowOutcome::Removed);
    EXPECT_FALSE (defaultFormatFolder (0).getChildFile ("Kestrune.vst3").exists());
    EXPECT_TRUE (defaultFormatFolder (0).getChildFile ("Other.vst3").isDirectory());
    EXPECT_EQ (main.failureDetail(), "");
}

TEST_F (MainScreen, InstallWithNothingSelectedStillEndsTheRun)
{
    MainComponent main;
    const auto before = snapshotOf (root);
    click (main, *main.installButton);
    main.finishRun();
    EXPECT_TRUE (main.operationDone);
    EXPECT_FALSE (main.installButton->isVisible());
    EXPECT_EQ (snapshotOf (root), before);
}

TEST_F (MainScreen, HintTexts)
{
    MainComponent main;
    const std::pair<const char*, const char*> hints[] = {
        { "EULA", "Click to read End-User License Agreement" },
        { "MANUAL", "Click to open product manual in your web browser" },
        { "WEBSITE", "Click to open product page on the Quillfern website" },
        { "SUPPORT", "Email and Discord support" },
        { "SETTINGS", "Click to set the install folder for each format" },
        { "CHANGES", "Click to view release notes" },
        { "CLAP", "Select to install CLAP" },
        { "INSTALL", "Click to install selected. Shift-click to uninstall selected" },
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ (main.hintFor (name).value_or ("(none)"), hint);

    EXPECT_FALSE (main.hintFor ("SELECT_ALL").has_value());
    ASSERT_TRUE (bundleFile (main.formatFolders[0], "Kestrune", 0).createDirectory());
    EXPECT_EQ (main.hintFor ("VST3").value_or (""), "Select to update VST3 to 1.0.0");
}

TEST_F (MainScreen, AFolderChangeShowsAtOnceAndKeepsTheSelection)
{
    extractEmbeddedArchive (0, defaultFormatFolder (0));
    MainComponent main;
    const auto fill = [&] { return paint (main).getPixelAt (fillPoint (main, 0).x, fillPoint (main, 0).y); };
    ASSERT_TRUE (main.formatSelected[0]);
    ASSERT_TRUE (near (fill(), over (PaletteBlue.withAlpha ((juce::uint8) 230))));

    const auto empty = driveC().getChildFile ("Empty VST3");
    ASSERT_TRUE (empty.createDirectory());
    main.onFolderChosen ("VST3_Path", "C:\\Empty VST3");

    EXPECT_EQ (main.formatFolders[0], empty);
    EXPECT_TRUE (near (fill(), over (PaletteGrey.withAlpha ((juce::uint8) 89))));
    EXPECT_TRUE (main.formatSelected[0]);
}

TEST_F (MainScreen, ADeselectedFormatIsNeverTouched)
{
    for (int row = 0; row < numFormats; ++row)
        extractEmbeddedArchive (row, defaultFormatFolder (row));
    ASSERT_TRUE (defaultFormatFolder (1).getChildFile ("Kestrune.clap").replaceWithText ("an older CLAP the user keeps"));
    const auto clapBefore = snapshotOf (defaultFormatFolder (1));

    for (const bool uninstall : { false, true })
    {
        MainComponent main;
        click (main, *main.formatButtons[1]);  // all three start selected: deselect CLAP
        main.modifierKeysChanged (uninstall ? juce::ModifierKeys (juce::ModifierKeys::shiftModifier) : juce::ModifierKeys());
        click (main, *main.installButton);
        main.finishRun();

        EXPECT_EQ (main.rowOutcomes[0], uninstall ? RowOutcome::Removed : RowOutcome::Installed);
        EXPECT_EQ (main.rowOutcomes[1], RowOutcome::NotProcessed);
        EXPECT_EQ (snapshotOf (defaultFormatFolder (1)), clapBefore) << (uninstall ? "uninstall" : "install");
    }
}
