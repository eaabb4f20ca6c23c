#include "platform/desktop/gtk/GtkPanelDialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/AppKit/NSOpenPanel.h"
#include "platform/desktop/PanelFileFilter.h"
#include "platform/desktop/WindowPicture.h"
#include "platform/desktop/gtk/GtkScreens.h"

namespace platform {

namespace {

// GTK offers files or folders in one dialog, not both: a panel that may choose files opens
// files (folders are entered, not chosen); one that may choose folders only selects one.
GtkFileChooserAction actionFor(const NSSavePanel& panel) {
  const auto* open = dynamic_cast<const NSOpenPanel*>(&panel);
  if (open == nullptr) return GTK_FILE_CHOOSER_ACTION_SAVE;
  if (open->canChooseDirectories() && !open->canChooseFiles())
    return GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER;
  return GTK_FILE_CHOOSER_ACTION_OPEN;
}

// The panel's title, or the platform's own for its kind when it has none.
std::string titleFor(const NSSavePanel& panel, GtkFileChooserAction action) {
  if (!panel.title().empty()) return panel.title();
  return action == GTK_FILE_CHOOSER_ACTION_SAVE ? "Save" : "Open";
}

void applySettings(GtkFileChooser* chooser, const NSSavePanel& panel, GtkFileChooserAction action) {
  if (panel.directoryURL())
    gtk_file_chooser_set_current_folder(chooser, panel.directoryURL()->path().c_str());
  if (action == GTK_FILE_CHOOSER_ACTION_SAVE) {
    gtk_file_chooser_set_current_name(chooser, panel.nameFieldStringValue().c_str());
    gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
  }
  gtk_file_chooser_set_show_hidden(chooser, panel.showsHiddenFiles());
  gtk_file_chooser_set_create_folders(chooser, panel.canCreateDirectories());
  if (const auto* open = dynamic_cast<const NSOpenPanel*>(&panel))
    gtk_file_chooser_set_select_multiple(chooser, open->allowsMultipleSelection());
  if (const auto offered = panelFileFilter(panel)) {
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, offered->name.c_str());
    for (const auto& type : offered->mimeTypes) gtk_file_filter_add_mime_type(filter, type.c_str());
    for (const auto& pattern : offered->patterns)
      gtk_file_filter_add_pattern(filter, pattern.c_str());
    gtk_file_chooser_add_filter(chooser, filter);  // the chooser takes the floating reference
  }
}

// The local paths of the chosen files as file URLs, in the dialog's order.
std::vector<URL> chosenURLs(GtkFileChooser* chooser) {
  std::vector<URL> urls;
  GSList* files = gtk_file_chooser_get_files(chooser);
  for (GSList* item = files; item != nullptr; item = item->next) {
    char* path = g_file_get_path(G_FILE(item->data));
    if (path != nullptr) urls.push_back(URL::fileURLWithPath(path));
    g_free(path);
  }
  g_slist_free_full(files, g_object_unref);
  return urls;
}

// The file chooser dialog among the top-level windows that `before` does not hold.
GtkWidget* newChooserDialog(GList* before) {
  GtkWidget* found = nullptr;
  GList* now = gtk_window_list_toplevels();
  for (GList* item = now; item != nullptr && found == nullptr; item = item->next) {
    if (GTK_IS_FILE_CHOOSER_DIALOG(item->data) && g_list_find(before, item->data) == nullptr)
      found = GTK_WIDGET(item->data);
  }
  g_list_free(now);
  return found;
}

}  // namespace

GtkPanelDialog::GtkPanelDialog(std::shared_ptr<NSWindow> window, std::shared_ptr<NSSavePanel> panel,
                               GtkWindow* parent)
    : window_(std::move(window)), panel_(std::move(panel)), id_(nextWindowNumber()) {
  const GtkFileChooserAction action = actionFor(*panel_);
  GList* before = gtk_window_list_toplevels();
  chooser_ = gtk_file_chooser_native_new(titleFor(*panel_, action).c_str(), parent, action, nullptr,
                                         nullptr);
  applySettings(GTK_FILE_CHOOSER(chooser_), *panel_, action);
  gtk_native_dialog_set_modal(GTK_NATIVE_DIALOG(chooser_), TRUE);
  g_signal_connect(chooser_, "response", G_CALLBACK(onResponse), this);
  gtk_native_dialog_show(GTK_NATIVE_DIALOG(chooser_));
  dialogWindow_ = newChooserDialog(before);
  g_list_free(before);
}

GtkPanelDialog::~GtkPanelDialog() {
  dismiss();
  // This may run inside the chooser's own "response" signal: it is let go once that is
  // over.
  g_idle_add(
      [](gpointer chooser) {
        g_object_unref(chooser);
        return G_SOURCE_REMOVE;
      },
      chooser_);
}

void GtkPanelDialog::dismiss() {
  g_signal_handlers_disconnect_by_data(chooser_, this);
  gtk_native_dialog_hide(GTK_NATIVE_DIALOG(chooser_));
}

std::optional<DialogWindow> GtkPanelDialog::window(const GtkScreens& screens) const {
  if (dialogWindow_ == nullptr) return std::nullopt;
  DialogWindow window{.id = id_, .className = panel_->className()};
  const char* title = gtk_window_get_title(GTK_WINDOW(dialogWindow_));
  window.title = title != nullptr ? title : "";
  window.visible = gtk_widget_get_mapped(dialogWindow_);
  GdkRectangle placed{};
  gtk_window_get_position(GTK_WINDOW(dialogWindow_), &placed.x, &placed.y);
  gtk_window_get_size(GTK_WINDOW(dialogWindow_), &placed.width, &placed.height);
  window.frame = screens.toAppKit(placed);
  return window;
}

std::vector<uint8_t> GtkPanelDialog::snapshot() const {
  if (dialogWindow_ == nullptr) return {};
  // Drawn as laid out now: a size change still pending is allocated first.
  gtk_container_check_resize(GTK_CONTAINER(dialogWindow_));
  const int scale = gtk_widget_get_scale_factor(dialogWindow_);
  const int width = std::max(1, gtk_widget_get_allocated_width(dialogWindow_));
  const int height = std::max(1, gtk_widget_get_allocated_height(dialogWindow_));
  return drawnPNG(width * scale, height * scale, scale, CAIRO_FORMAT_ARGB32,
                  [this](cairo_t* cairo) { gtk_widget_draw(dialogWindow_, cairo); });
}

void GtkPanelDialog::onResponse(GtkNativeDialog*, gint response, gpointer data) {
  auto& dialog = *static_cast<GtkPanelDialog*>(data);
  // Closing the dialog any other way than accepting it cancels it.
  const bool accepted = response == GTK_RESPONSE_ACCEPT;
  auto urls = accepted ? chosenURLs(GTK_FILE_CHOOSER(dialog.chooser_)) : std::vector<URL>();
  // Answering ends the sheet, which takes this dialog down: keep what it needs here.
  const auto window = dialog.window_;
  if (sheetPanel(window) != dialog.panel_) return;
  answerSheet(window, accepted ? NSModalResponseOK : NSModalResponseCancel, std::move(urls));
}

}  // namespace platform
