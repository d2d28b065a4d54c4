// The file chooser as a modal overlay: a backend with a window runs it over the program's picture
// (HostBackend::runModal), handing it the user's clicks, keys and typing until the user chooses or cancels.
#pragma once

#include "host/backend/backend.h"
#include "host/backend/modal.h"
#include "host/win/file_chooser.h"
#include "host/win/file_chooser_view.h"

class HostChooserSession : public HostModal {
  public:
    explicit HostChooserSession(const HostFileDialogRequest& request);

    void Begin(const HostShownPicture& background) override;
    void Draw(HostShownPicture& out) override;
    // Click or arrow, page, Home and End keys select; a double click or Return opens a folder or takes a
    // file; the wheel scrolls; typing fills the name field; Tab moves between the list and the field;
    // Escape or Cancel cancels; a click on the filter line steps through the filters.
    bool Handle(const HostModalEvent& event) override;
    bool Open() const override { return state_ == State::Open; }

    // True once the user chose a file (the chooser's ChosenPath and FilterIndex tell which).
    bool Chosen() const { return state_ == State::Chosen; }
    const HostFileChooser& Chooser() const { return chooser_; }

  private:
    enum class State { Open, Chosen, Cancelled };

    bool OnKey(int virtualKey);
    void MoveSelection(int delta);
    void Press(const HostChooserHit& hit, int clicks);
    void Release(const HostChooserHit& hit);

    HostFileChooser chooser_;
    HostShownPicture background_;
    HostChooserLayout layout_{};
    HostChooserPainter painter_;
    State state_ = State::Open;
    bool listFocus_ = false;
    HostChooserPart hover_ = HostChooserPart::Outside;
    HostChooserPart pressedPart_ = HostChooserPart::Outside;
};
