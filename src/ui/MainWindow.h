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
class AviHeader;
class SplicePlan;
} // namespace vidloom

namespace vidloom::ui {

class DialogSeam;
class PlanView;
class TagWindow;
class LogWindow;
class SegmentPanel;
class PanelScrollArea;
class ButtonFrame;
class CommandButton;
class PreviewStrip;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The brand and log windows live beside the main window, not inside it.
    MainWindow(TagWindow& brandWindow, LogWindow& logWindow);
    ~MainWindow() override;

    // The seam through which every modal dialog goes; the window keeps the
    // one it was last given (the real dialogs by default). Not owned.
    void setDialogs(DialogSeam* dialogs);
    DialogSeam& dialogs() const { return *dialogs_; }

    // The eight actions.
    void addFileCommand();
    void addSpliceCommand();
    void generateCommand();
    void showTagWindow();
    void showLogWindow();
    void toggleDebugInfo();
    void moveEarlierCommand();
    void moveLaterCommand();
    // F4 and the "Preview strip" check box: shows or hides the strip; the
    // window grows or shrinks by its height, so the panels keep their room.
    void togglePreview();
    void setPreviewShown(bool shown);
    bool previewShown() const { return previewShown_; }
    // Shows the frames at the joins of the current segment in the strip.
    void updatePreview();

    // "Add File" on files that did not come from the dialog: the command line
    // and files dropped on the window.
    void addFiles(const QStringList& paths);

    // The refresh: property fields and which groups are shown, all derived
    // from the plan.
    void refreshProperties();
    // Destroys the panels that hid themselves when their segment left the plan.
    void deleteHiddenPanels();
    // Keeps the scroll box sized to the window.
    void fitPanelArea();

    // The plan, null until the first "Add File".
    SplicePlan* plan() const;

    QProgressBar* progressBar = nullptr;
    QProgressBar* secondProgressBar = nullptr;
    ButtonFrame* addFileFrame = nullptr;
    ButtonFrame* showTagsFrame = nullptr;
    ButtonFrame* addSpliceFrame = nullptr;
    ButtonFrame* generateFrame = nullptr;
    ButtonFrame* showLogFrame = nullptr;
    CommandButton* addFileButton = nullptr;
    CommandButton* showTagsButton = nullptr;
    CommandButton* addSpliceButton = nullptr;
    CommandButton* generateButton = nullptr;
    CommandButton* showLogButton = nullptr;
    QCheckBox* debugInfoBox = nullptr;
    QCheckBox* previewBox = nullptr;
    PreviewStrip* previewStrip = nullptr;
    PanelScrollArea* panelArea = nullptr;
    QLineEdit* fourCCEdit = nullptr;
    QLineEdit* codecEdit = nullptr;
    QLineEdit* frameSizeEdit = nullptr;
    QLineEdit* frameRateEdit = nullptr;
    QLineEdit* audioFormatEdit = nullptr;
    QLineEdit* audioBitRateEdit = nullptr;
    QLineEdit* sampleRateEdit = nullptr;
    QLineEdit* channelsEdit = nullptr;
    ButtonFrame* moveEarlierFrame = nullptr;
    ButtonFrame* moveLaterFrame = nullptr;
    CommandButton* moveEarlierButton = nullptr;
    CommandButton* moveLaterButton = nullptr;

    QAction* addFileAction = nullptr;
    QAction* addSpliceAction = nullptr;
    QAction* generateAction = nullptr;
    QAction* showTagsAction = nullptr;
    QAction* showLogAction = nullptr;
    QAction* debugInfoAction = nullptr;
    QAction* moveEarlierAction = nullptr;
    QAction* moveLaterAction = nullptr;
    QAction* previewAction = nullptr;

    // The panels currently in the scroll box, in no particular order.
    QList<SegmentPanel*> panels() const;
    // A new panel in the scroll box for a segment, wired to the plan; the
    // plan's layout fills, places and shows it.
    SegmentPanel* createPanel(SegmentId segment);

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
    void onPanelSelected(SegmentPanel* panel);
    void onPanelDelete(SegmentPanel* panel);

    TagWindow& brandWindow_;
    LogWindow& logWindow_;
    std::unique_ptr<DialogSeam> ownDialogs_;
    DialogSeam* dialogs_;
    std::unique_ptr<PlanView> view_;
    std::unique_ptr<SplicePlan> plan_;
    bool previewShown_ = true;
};

} // namespace vidloom::ui
