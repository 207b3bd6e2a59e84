// The imaging library's file dialogs. They are forms of our own: a file
// list with the folder, name and type boxes on the left, and beside and
// below it a panel that previews the selected picture and tells its size,
// colours, resolution, file type and memory need. Each run goes through
// the dialog service (dialogs.h): the program shows the form modally,
// tests answer it or drive the shown form with real input.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemsg.h"
#include "platform/commdlg.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TForm;
class TIOParamsVals;
class TLabel;
class TListBox;
class TPanel;
class TPixIO;
class TPixView;
class TProgressBar;
class TSpeedButton;

// The base of the file dialogs: centres its form, raises OnShow and
// OnClose, and carries the language of its texts.
class TIECommonDialog : public TCommonDialog {
 public:
  explicit TIECommonDialog(TComponent* owner);

  TMsgLanguage MsgLanguage = msSystem;
  bool ShowPlacesBar = true;
  bool ExtendedDialog = true;

  // Runs the dialog through the dialog service, then gives the activation
  // back to the form that had it (also when the run raised).
  bool TaskModalDialog();
  // Where a window of that size goes: across the middle, a third down.
  static TPoint CentredOrigin(int screenWidth, int screenHeight, int width, int height);

  void DoShow();
  void DoClose();
  // True between DoShow and DoClose.
  bool Attached() const { return attached_; }

 private:
  bool attached_ = false;
};

enum TIEDBorderStyle { iepsDefault, iepsCropped, iepsCropShadow };
using TCanCloseEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TOpenPixForm;

class TOpenPixDialog : public TIECommonDialog {
 public:
  explicit TOpenPixDialog(TComponent* owner);
  ~TOpenPixDialog() override;

  bool Execute() override;
  std::string DialogCaption() const override;
  // Shows the form modally (through the dialog service's modal run).
  bool RunPlatformDialog() override;

  std::string DefaultExt;  // without the dot
  // The chosen file; while the form is shown, the one selected in it.
  std::string GetFileName() const;
  void SetFileName(const std::string& name) { fileName_ = name; }
  // Only the name part typed or selected; the stored name when not shown.
  std::string GetFileName2() const;
  std::string Filter;
  int GetFilterIndex() const;
  void SetFilterIndex(int index) { filterIndex_ = index; }
  std::string GetInitialDir() const { return initialDir_; }
  // Drops one trailing delimiter, except the root's and a drive's.
  void SetInitialDir(const std::string& dir);
  TOpenOptions Options = ofHideReadOnly;
  std::string Title;
  TCanCloseEvent OnCanClose;
  TNotifyEvent OnFolderChange;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnTypeChange;
  bool AutoSetFilter = true;
  bool AlwaysAnimate = false;
  TIEDBorderStyle PreviewBorderStyle = iepsDefault;
  void SetPreviewBorderStyle(TIEDBorderStyle style);
  bool AutoAdjustDPI = false;
  bool FilteredAdjustDPI = false;
  TResampleFilter GetZoomFilter() const;
  void SetZoomFilter(TResampleFilter filter);
  // Further "description|patterns" pairs after the registry's.
  std::string ExtraFilters;
  TStrings* Files() { return files_.get(); }

  // The filter of the formats the library reads (writes, for the save
  // dialog), with "All graphics" first for the open dialog.
  std::string BuildStrFilter() const;
  // The text from the first "." to the first ";" of a pattern list.
  static std::string FirstExtension(const std::string& patterns);

  // The user's side, also for tests that answer the service without the
  // form: these names (relative to the start folder unless absolute) with
  // that filter (0 keeps it) and OK. False when the dialog would stay open.
  bool ChooseFiles(const std::vector<std::string>& names, int filterIndex = 0);
  std::string StartFolder() const;

  // The preview panel (its controls live while the dialog lives).
  TPanel* InfoPanel;
  TLabel *InfoLabel1, *InfoLabel2;
  TButton* AdvancedButton;
  TCheckBox* PreviewCheck;
  TPanel* PicturePanel;
  TLabel *PicLabel1, *PicLabel2, *PicLabel3;
  TComboBox* ZoomCombo;
  TSpeedButton *PreviewButton, *PlayButton;
  TPixView* PixView;
  TPixIO* PreviewLoader;
  TProgressBar* ProgressBar;
  // The shown form, or nullptr.
  TOpenPixForm* Form() const { return form_; }

  // Fills the five information labels from a parameter record; nullptr
  // clears them.
  void ShowIOParams(TIOParamsVals* params);
  // The file size and frame count of the previewed file.
  int64_t PreviewFileSize() const { return fileSize_; }
  int32_t PreviewFrameCount() const { return frameCount_; }
  virtual void SetZoom();
  // Previews the selected file and raises OnSelectionChange.
  void DoSelectionChange();
  void DoFolderChange();
  virtual void DoTypeChange();
  bool DoCanClose();

  // The text of a byte count: "N Kb" above 1023, else "N bytes".
  static std::string SizeText(int64_t bytes);
  // Frames x height x bytes of a row (1 bit for 1 x 1-bit, else 24).
  static int64_t MemoryNeed(int64_t frames, int64_t width, int64_t height, int samples, int bits);

 protected:
  bool IsSaveDialog() const { return saveDialog_; }
  bool saveDialog_ = false;
  bool previewEnabled_ = true;
  // The name of the form layout: the full one, or the small one without
  // the picture panel.
  std::string templateName_;
  bool DoExecute();
  void PlacePanels();
  void ClearPreview();
  void DoCheckPreview();
  void PreviewClick();
  // The full name completed as the dialog completes it.
  std::string CompleteName(const std::string& typed) const;
  bool Acceptable(const std::string& path) const;
  friend class TOpenPixForm;

 private:
  void PreviewFile(const std::string& path);
  std::string fileName_;
  int filterIndex_ = 1;
  std::string initialDir_;
  std::unique_ptr<TStrings> files_;
  TOpenPixForm* form_ = nullptr;
  bool busy_ = false;
  // Set when the selection moved while a preview was loading.
  bool reselect_ = false;
  int64_t fileSize_ = 0;
  int32_t frameCount_ = 0;
};

// The save dialog: the open dialog over the formats the library writes,
// with an "Advanced..." button that edits the save parameters of an
// attached I/O component for the format of the chosen extension.
enum : unsigned { sdShowPreview = 1u << 0, sdShowAdvanced = 1u << 1 };
using TIESaveDlgOpt = unsigned;

class TSavePixDialog : public TOpenPixDialog {
 public:
  explicit TSavePixDialog(TComponent* owner);
  ~TSavePixDialog() override;

  bool Execute() override;
  std::string DialogCaption() const override;
  TIESaveDlgOpt ExOptions = sdShowPreview | sdShowAdvanced;
  TPixIO* GetAttachedPixIO() const { return attached_; }
  // Only an I/O component; nullptr and other kinds leave it as it was.
  void SetAttachedPixIO(TComponent* component);

  // The "Advanced..." button: the save-parameters pages of the chosen
  // extension's format.
  void DoAdvanced();
  // Replaces the last extension of the name in the name box by the first
  // extension of the selected filter.
  void SetFileNameExt();
  void DoTypeChange() override;
  // The name with its last extension replaced (or the extension added).
  static std::string ReplaceExtension(const std::string& name, const std::string& ext);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TPixIO* attached_ = nullptr;
  std::unique_ptr<TIOParamsVals> backup_;
};
