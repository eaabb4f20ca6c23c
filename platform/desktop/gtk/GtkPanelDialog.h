#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/desktop/DialogWindows.h"

class NSSavePanel;
class NSWindow;

namespace platform {

class GtkScreens;

// The file dialog of a panel shown as a sheet on a window of the real desktop: a
// GtkFileChooserNative (the desktop portal's dialog where one runs, GTK's own otherwise),
// transient for the window's GTK window and modal for it, set up from the panel's
// settings. It runs in the main loop; when the person answers it (or closes it), the panel
// is answered through platform::answerSheet as the sheet it is, with the chosen files' URLs
// on OK. Main thread only.
class GtkPanelDialog {
 public:
  GtkPanelDialog(std::shared_ptr<NSWindow> window, std::shared_ptr<NSSavePanel> panel,
                 GtkWindow* parent);
  ~GtkPanelDialog();
  GtkPanelDialog(const GtkPanelDialog&) = delete;
  GtkPanelDialog& operator=(const GtkPanelDialog&) = delete;

  // Takes the dialog down without an answer (the panel was answered another way).
  void dismiss();

  // The dialog as a window, when it is GTK's own (a portal's dialog belongs to another
  // process), its frame placed by `screens`.
  std::optional<DialogWindow> window(const GtkScreens& screens) const;
  NSInteger id() const { return id_; }
  // GTK's own dialog drawn off screen at its scale, as PNG bytes (empty without one).
  std::vector<uint8_t> snapshot() const;

 private:
  static void onResponse(GtkNativeDialog*, gint response, gpointer self);

  std::shared_ptr<NSWindow> window_;
  std::shared_ptr<NSSavePanel> panel_;
  NSInteger id_;
  GtkFileChooserNative* chooser_;
  // GTK's own dialog window that the chooser shows, or null (a portal's dialog).
  GtkWidget* dialogWindow_ = nullptr;
};

}  // namespace platform
