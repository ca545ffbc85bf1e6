// Which of the extension's pages go where in the Mouse control panel's
// property sheet, and the command line that switches registration to the
// current user.
#pragma once
#include <cstddef>

namespace qvn {

// The extension's five pages with their dialog templates.
enum class CplPage { Click, Break, Wheel, Buttons, PointerSpeed };
int CplPageTemplate(CplPage page);  // 205, 201, 213, 206, 214

// The control panel's replaceable pages (identifiers of ReplacePage).
constexpr unsigned kCplPageMouseButtons = 1;
constexpr unsigned kCplPageMousePtrMotion = 2;
constexpr unsigned kCplPageMouseWheel = 3;

// The page that replaces the control panel's page, false when the
// identifier names no page we replace.
bool CplReplacementPage(unsigned pageId, CplPage* page);

// The pages AddPages appends, in order: Wheel (unless it replaced the
// control panel's Wheel page), Break, Click. Returns how many were written.
size_t CplAddedPages(bool wheelReplaced, CplPage out[3]);

// DllInstall's command line: "user" in any letter case, whole text.
bool InstallCommandIsPerUser(const wchar_t* commandLine);

}  // namespace qvn
