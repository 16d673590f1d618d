#pragma once
// The main window: drives the whole program through its eight actions (add
// files, add splices, generate the script, show the tool windows, toggle the
// debug box, move the current segment), shows the properties of the plan's
// first segment and hosts one panel per segment. It holds no plan arithmetic:
// events become calls on the splice plan, and the plan's results become widget
// state.

#include "splice/PanelState.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QLineEdit;
class QProgressBar;

namespace vidloom {
class TAviInfo;
class TClip;
} // namespace vidloom

namespace vidloom::ui {

class DialogSeam;
class PlanView;
class TForm2;
class TForm3;
class TInfoClipBox;
class TScrollBox;
class TShape;
class TSpeedButton;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // The brand and log windows live beside the main window, not inside it.
    TForm1(TForm2& brandWindow, TForm3& logWindow);
    ~TForm1() override;

    // The seam through which every modal dialog goes; the window keeps the
    // one it was last given (the real dialogs by default). Not owned.
    void setDialogs(DialogSeam* dialogs);
    DialogSeam& dialogs() const { return *dialogs_; }

    // The eight actions.
    void AddFileExecute();
    void AddSpliceExecute();
    void GoExecute();
    void ShowBrandInfoExecute();
    void ShowLogInfoExecute();
    void DebugInfoExecute();
    void prevExecute();
    void nextExecute();

    // "Add File" on files that did not come from the dialog: the command line
    // and files dropped on the window.
    void addFiles(const QStringList& paths);

    // The refresh: property fields and which groups are shown, all derived
    // from the plan.
    void Update();
    // Destroys the panels that hid themselves when their segment left the plan.
    void FreeDeletedBoxes();
    // Keeps the scroll box sized to the window.
    void FormResize();

    // The plan, null until the first "Add File".
    TClip* SplicePlan() const;

    QProgressBar* ProgressBar1 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    TShape* Shape1 = nullptr;
    TShape* Shape2 = nullptr;
    TShape* Shape3 = nullptr;
    TShape* Shape4 = nullptr;
    TShape* Shape5 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TSpeedButton* SpeedButton5 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    TScrollBox* ScrollBox1 = nullptr;
    QLineEdit* Edit0 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QLineEdit* Edit7 = nullptr;
    TShape* BtnPrevShape = nullptr;
    TShape* BtnNextShape = nullptr;
    TSpeedButton* BtnPrev = nullptr;
    TSpeedButton* BtnNext = nullptr;

    QAction* AddFile = nullptr;
    QAction* AddSplice = nullptr;
    QAction* Go = nullptr;
    QAction* ShowBrandInfo = nullptr;
    QAction* ShowLogInfo = nullptr;
    QAction* DebugInfo = nullptr;
    QAction* prev = nullptr;
    QAction* next = nullptr;

    // The panels currently in the scroll box, in no particular order.
    QList<TInfoClipBox*> panels() const;
    // A new panel in the scroll box for a segment, wired to the plan; the
    // plan's layout fills, places and shows it.
    TInfoClipBox* createPanel(SegmentId segment);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildActions();
    // Runs one command; an error ends it and is shown with its message, and
    // the program goes on with the plan as the error left it.
    void guarded(const std::function<void()>& command);
    void addPaths(const QStringList& paths);
    void showBrandOfBaseClip();
    void onPanelSelected(TInfoClipBox* panel);
    void onPanelDelete(TInfoClipBox* panel);

    TForm2& brandWindow_;
    TForm3& logWindow_;
    std::unique_ptr<DialogSeam> ownDialogs_;
    DialogSeam* dialogs_;
    std::unique_ptr<PlanView> view_;
    std::unique_ptr<TClip> plan_;
};

} // namespace vidloom::ui
