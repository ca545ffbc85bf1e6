// "Customize programming for different applications" (template 208): the
// list of programs with their own button assignments and the ten function
// selectors of the selected program. Every selector change goes into the
// selected program's object at once; OK and Apply store all objects.
#pragma once
#include "customized_app.h"
#include "dlg_framework.h"

class QMCDlgButtonsAppCustomized : public QMCDlgBase {
 public:
  ~QMCDlgButtonsAppCustomized();
  INT_PTR DialogProcedure(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Init();
  void DrawItem(const DRAWITEMSTRUCT* item);
  void Add();
  void Delete();
  // Stores every program; a failure is shown and keeps the dialog open.
  bool Save();
  void Close(INT_PTR result);
  void ApplyEnable(bool on);
  void InternalViewToModel();
  void ModelToView();
  CQvnMouCustomizedPrgApp* SelectedApplication();
};

// The file dialog for Add: true with the program's path and the name its
// settings go under (its description, else its file name).
bool ApplicationFileChoose(HWND owner, wchar_t* name, wchar_t* path);
