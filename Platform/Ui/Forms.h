// Forms as top-level windows, and the application object that runs them.
//
// A form class of a program derives from TUiForm: the form's window is made with the form (hidden),
// the form's resources then build its components, each with its window inside the form's, and Show
// puts it on screen. Closing the main form's window ends the message loop.
#pragma once

#include "WinControl.h"

#include <memory>
#include <vector>

namespace ui {

class TUiForm : public TWindowed<TForm> {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    explicit TUiForm(TComponent* owner);
    // Deletes the form's components, then its window.
    ~TUiForm() override;

    // Runs when the form has been built from its resources (the creation event).
    TNotifyEvent OnCreate;
    void SetOnCreate(TNotifyEvent value) { OnCreate = value; }

    void Show();
    // Asks the form's window to close, as the user does.
    void Close();

protected:
    // The form's window has been asked to close.
    virtual void Closed();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

class TApplication : public TComponent {
public:
    static const TClassInfo ClassInfo;
    const TClassInfo& ClassType() const override { return ClassInfo; }

    TApplication();
    ~TApplication() override;

    // The program's title: the caption of the application's own (hidden) window, which is what the
    // taskbar and the error boxes show. OnTitleChange is told of every change.
    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& value);
    TNotifyEvent OnTitleChange;

    // The first form created, or none.
    TUiForm* MainForm() const { return mainForm_; }

    // Makes a form of class T owned by the application, builds it from its resources, runs its
    // creation event (an error escaping it is shown in an error box; the form is made all the same)
    // and shows it. The first form made is the main form.
    template <class T> T& CreateForm() {
        auto* form = new T(this);
        Created(*form);
        return *form;
    }

    // The message loop: returns at once when there is no main form, otherwise when the main form's
    // window closes.
    void Run();

    // The error box for an error that a handler let pass: the message, captioned with the title, a
    // single OK button.
    void ShowException(const Exception& error) const;

    HWND Handle() const { return handle_.Get(); }

private:
    friend class TUiForm;
    void Created(TUiForm& form);
    void FormClosed(TUiForm& form);

    AnsiString title_;
    TUiForm* mainForm_ = nullptr;
    bool running_ = false;
    TWindowHandle handle_;
};

// Registers the control classes of this layer, so that form data can create them by name. The
// first form made does it.
void RegisterControlClasses();

// The program-wide application object, made on first use and freed at the end of the run.
TApplication& Application();

// The last-resort handler of the program's main block: an error box with the error's class and
// message; the program then ends with exit code 1.
int HandleUncaught(const std::exception& error);

} // namespace ui
