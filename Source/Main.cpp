#include "MainComponent.h"
#include "ProductInfo.h"

#include <juce_gui_basics/juce_gui_basics.h>

class qf_installerApplication : public juce::JUCEApplication
{
public:
    qf_installerApplication() = default;

    ~qf_installerApplication() override
    {
        mainWindow = nullptr;
    }

    const juce::String getApplicationName() override { return ProductInfo::installerName; }
    const juce::String getApplicationVersion() override { return ProductInfo::installerVersion; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        mainWindow = std::make_unique<MainWindow> (getApplicationName());
    }

    void shutdown() override
    {
        mainWindow = nullptr;
    }

    void anotherInstanceStarted (const juce::String&) override {}

    void systemRequestedQuit() override
    {
        quit();
    }

    class MainWindow : public juce::DocumentWindow
    {
    public:
        explicit MainWindow (const juce::String& name)
            : DocumentWindow (name,
                              juce::Desktop::getInstance().getDefaultLookAndFeel()
                                  .findColour (juce::ResizableWindow::backgroundColourId),
                              DocumentWindow::allButtons)
        {
            setUsingNativeTitleBar (true);
            setContentOwned (new MainComponent(), true);
            setResizable (true, true);
            if (auto* windowConstrainer = getConstrainer())
                windowConstrainer->setFixedAspectRatio (1.0);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);
        }

        void closeButtonPressed() override
        {
            JUCEApplication::getInstance()->systemRequestedQuit();
        }

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

private:
    std::unique_ptr<MainWindow> mainWindow;
};

START_JUCE_APPLICATION (qf_installerApplication)
