#include "CommandLine.h"
#include "MainComponent.h"
#include "Platform.h"
#include "ProductInfo.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

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
            squareContent.setFixedAspectRatio (1.0);
            setConstrainer (&squareContent);
            centreWithSize (getWidth(), getHeight());
            setVisible (true);

            // Under Wine, Direct2D paints the window black; the software renderer paints it
            // as on Windows. Real Windows keeps Direct2D.
            if (auto* peer = getPeer(); peer != nullptr && Platform::isRunningUnderWine())
                peer->setCurrentRenderingEngine (0);
        }

        // The window takes the keyboard when it becomes active, but its controls are in the
        // content: keyboard users start on the first format row.
        void focusGained (FocusChangeType) override
        {
            if (auto* content = getContentComponent())
                content->grabKeyboardFocus();
        }

        void resized() override
        {
            DocumentWindow::resized();

            // An X11 window manager may ignore the aspect hint while the frame is dragged, and
            // a program may resize the window: the content is made square again on its
            // shorter side, so nothing is ever cut off. Done after the resize has been handled,
            // as the system does not take a new size from inside its own resize.
            if (auto* content = getContentComponent(); content != nullptr && content->getWidth() != content->getHeight())
                juce::MessageManager::callAsync ([safe = juce::Component::SafePointer<MainWindow> (this)]
                {
                    if (auto* shown = safe != nullptr ? safe->getContentComponent() : nullptr)
                    {
                        const auto side = juce::jmin (shown->getWidth(), shown->getHeight());
                        if (shown->getWidth() != shown->getHeight())
                            safe->setContentComponentSize (side, side);
                    }
                });
        }

        ~MainWindow() override
        {
            setConstrainer (nullptr);  // the constrainer member goes before the window's base
        }

        void closeButtonPressed() override
        {
            JUCEApplication::getInstance()->systemRequestedQuit();
        }

    private:
        // Keeps the content square. A window with a native title bar hands the constrainer its
        // bounds with the frame, and a square frame would leave the content short by the
        // caption's height: the ratio is applied to the content instead.
        class SquareContentConstrainer : public juce::ComponentBoundsConstrainer
        {
        public:
            explicit SquareContentConstrainer (juce::Component& windowToUse) : window (windowToUse) {}

            void checkBounds (juce::Rectangle<int>& bounds, const juce::Rectangle<int>& previous, const juce::Rectangle<int>& limits,
                              bool top, bool left, bool bottom, bool right) override
            {
                const auto* peer = window.getPeer();
                const auto known = peer != nullptr ? peer->getFrameSizeIfPresent() : juce::ComponentPeer::OptionalBorderSize();
                const auto frame = known ? *known : juce::BorderSize<int>();
                auto content = frame.subtractedFrom (bounds);
                ComponentBoundsConstrainer::checkBounds (content, frame.subtractedFrom (previous), limits, top, left, bottom, right);
                bounds = frame.addedTo (content);
            }

        private:
            juce::Component& window;
        };

        SquareContentConstrainer squareContent { *this };

        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
    };

private:
    std::unique_ptr<MainWindow> mainWindow;
};

JUCE_CREATE_APPLICATION_DEFINE (qf_installerApplication)

// With arguments the installer is its command line, which never starts the GUI layer and so
// runs where there is no display; without, it is the window.
static int startInstaller (int argc, char** argv)
{
    if (const auto arguments = Platform::commandLineArguments (argc, argv); ! arguments.isEmpty())
    {
        Platform::attachParentConsole();
        return CommandLine::run (arguments, std::cout, std::cerr);
    }

    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
   #if JUCE_WINDOWS
    return juce::JUCEApplicationBase::main();
   #else
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
   #endif
}

#if JUCE_WINDOWS
int __stdcall WinMain (struct HINSTANCE__*, struct HINSTANCE__*, char*, int)
{
    return startInstaller (0, nullptr);
}
#else
int main (int argc, char* argv[])
{
    return startInstaller (argc, argv);
}
#endif
