#pragma once
// The main window: drives the whole program through its eight actions (add
// files, add splices, generate the script, show the tool windows, toggle the
// debug box, move the current segment), shows the properties of the plan's
// first segment and hosts one panel per segment. It holds no plan arithmetic:
// it asks its questions, calls the plan session's commands, shows what they
// return, and after each change notification pulls the views once.

#include "present/EditNote.h"
#include "present/PanelState.h"
#include "session/PlanSession.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace vidloom::ui {

class DialogSeam;
class ProgressView;
class SessionPanels;
class TagWindow;
class LogWindow;
class SegmentPanel;
class PanelGrid;
class ButtonFrame;
class CommandButton;
class PreviewStrip;
class ScriptPathSettings;
class ViewerWindow;

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

    // Ctrl+Left / Ctrl+Right and the panels' context menu: the current
    // segment's start moves to the key frame before / after it.
    void snapCommand(bool toNext);

    // "Add File" on files that did not come from the dialog: the command line
    // and files dropped on the window.
    void addFiles(const QStringList& paths);

    // "Open Script" (Ctrl+O): the plan a chosen script describes replaces the
    // plan; a script that cannot be opened shows why and changes nothing.
    void openScriptCommand();
    // Files from the command line or a drop, in their order: a script opens
    // as "Open Script" opens it, other files are added as "Add File" adds them.
    void openPaths(const QStringList& paths);
    static bool isScriptPath(const QString& path);

    // The refresh: property fields and which groups are shown, all derived
    // from the plan.
    void refreshProperties();
    // Keeps the scroll box sized to the window.
    void fitPanelArea();

    // The plan session the window drives; its plan is null until the first
    // "Add File".
    const PlanSession& session() const { return session_; }

    // ---- The Viewer (MainWindowViewer.cpp)
    // F3: shows or hides the Viewer, which then shows the plan as it is.
    void showViewerWindow();
    ViewerWindow& viewerWindow() const { return *viewer_; }
    // The Viewer's marks, each one step of the history, on the segment
    // under its cursor and the frame it shows: I (its start), O (its last
    // frame), S (split there), Delete (remove it), Ctrl+F2 (splice files at
    // the cursor's plan position).
    void markStartCommand();
    void markEndCommand();
    void splitHereCommand();
    void removeHereCommand();
    void spliceHereCommand();
    QAction* viewerAction = nullptr;

    // Shows the window inside the available area of its screen.
    void openOnScreen();
    // The one-line note under the buttons: where a script went, how a typed
    // value was corrected.
    void showStatus(const QString& text);
    // ---- History, title, closing and settings (MainWindowHistory.cpp,
    // MainWindowSettings.cpp)
    // Undo (Ctrl+Z) and redo (Ctrl+Shift+Z, Ctrl+Y) of the last change of
    // the plan; the panels, fields, tag window and log follow.
    void undoCommand();
    void redoCommand();
    // The window's geometry, the tool windows' geometry and visibility and the
    // Debug Info box as the last run left them (main() calls it once).
    void restoreSettings();
    void saveSettings() const;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;

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
    QLabel* statusLine = nullptr;
    PanelGrid* panelArea = nullptr;
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
    QAction* snapPreviousAction = nullptr;
    QAction* snapNextAction = nullptr;
    // Wine paths and folder mappings of the script, kept in the settings.
    ScriptPathSettings* scriptPaths = nullptr;
    QAction* openScriptAction = nullptr;

    // The panels in view (the grid makes widgets for those alone), in plan
    // order.
    QList<SegmentPanel*> panels() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A plan changed since it was last written or opened is written,
    // discarded or kept open as the user answers.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildCommandButtons();
    void buildDebugBox();
    void buildPropertyFields();
    void placePropertyFields();
    void buildNavigation();
    void buildActions();
    void buildPreview();
    // Runs one command; an error ends it and is shown with its message, and
    // the program goes on with the plan as the error left it.
    void guarded(const std::function<void()>& command);
    void addPaths(const QStringList& paths);
    void openScriptFile(const QString& path);
    void showBrandOfFirstSegment();
    void onPanelEdit(SegmentId segment, const EditCells& shown, const EditCells& typed);
    void onPanelDelete(SegmentId segment);
    // The snap actions and the script path controls (MainWindowPreflight.cpp).
    void buildScriptControls();
    void onPanelSnap(SegmentId segment, bool toNext);
    // Snaps a segment's start, or says why a file's key frames cannot be told.
    void snapSegment(SegmentId segment, bool toNext);
    // Before a script is written: false when AviSynth would refuse a join and
    // the user does not want it written anyway.
    bool acceptJoinProblems();
    // Says why no script can be written (no frames) or asks about joins
    // AviSynth will refuse; true when writing may go on.
    bool readyToWrite();
    // The session's change notification: the log's listing block (when the
    // plan no longer matches it), the brand window, the fields, the panels,
    // the current panel in view, the strip, the Viewer and the title.
    void afterPlanChange();
    // Shows what "Add File" and "Add Splice" did not do.
    void tellAdded(const AddResult& result);
    void tellSpliced(const std::vector<SpliceResult>& results);
    // The splice reference of a file whose name holds none, as the user
    // types it; nothing when the user cancels.
    std::optional<int32_t> askReference(const QString& path);
    // The keyboard goes to the current panel's first editable cell.
    void focusCurrentPanel();
    void keepCurrentPanelInView();
    // Shows how typed values were corrected (empty: none), replacing an
    // earlier such note.
    void tellCorrection(const std::string& note);
    void fitStatusLine();
    // Where the save dialog starts: the base clip's folder and name, ".avs".
    QString suggestedScriptPath() const;
    void writeScript(const QString& path);
    // The first time a tool window is shown, it goes beside this window.
    void showToolWindow(QWidget& tool, bool& placed);
    void buildViewer();
    // After a change (or the current segment moved): the Viewer's plan,
    // when it is shown.
    void updateViewer();
    void onViewerSegmentEntered(SegmentId segment);

    void buildHistory();
    void stepThroughHistory(bool (PlanSession::*step)());
    // The title (script name, modified mark) and the undo and redo actions.
    void showHistoryState();
    // "Write" of the close question: true when the plan is now written.
    bool writeBeforeClose();

    TagWindow& brandWindow_;
    LogWindow& logWindow_;
    std::unique_ptr<DialogSeam> ownDialogs_;
    DialogSeam* dialogs_;
    PlanSession session_;
    std::unique_ptr<SessionPanels> panelSource_;
    std::unique_ptr<ProgressView> progress1_;
    std::unique_ptr<ProgressView> progress2_;
    bool previewShown_ = true;
    // The listing block as the log shows it since the last change.
    std::vector<std::string> listedBlock_;
    // The command running writes the listing block anew (see afterPlanChange).
    bool relist_ = false;
    bool brandPlaced_ = false;
    bool logPlaced_ = false;
    bool viewerPlaced_ = false;
    std::unique_ptr<ViewerWindow> viewer_;
    bool statusIsCorrection_ = false;
    bool statusIsWrittenScript_ = false;
    QString statusText_; // in full; the line may show it shortened
};

} // namespace vidloom::ui
