#include "pack/window/PackFrmGtk.h"

#include <utility>

#include "i18n/texts.h"
#include "platform/folder_picker.h"
#include "ui/SetOutputFrmGtk.h"

namespace coffer::pack {
namespace {

GtkWidget* Named(GtkWidget* widget, const char* name) {
  gtk_widget_set_name(widget, name);
  return widget;
}

GtkWidget* Label(const char* name) {
  GtkWidget* label = Named(gtk_label_new_with_mnemonic(""), name);
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  return label;
}

GtkWidget* SecretEntry(const char* name) {
  GtkWidget* entry = Named(gtk_entry_new(), name);
  gtk_entry_set_visibility(GTK_ENTRY(entry), FALSE);
  gtk_entry_set_input_purpose(GTK_ENTRY(entry), GTK_INPUT_PURPOSE_PASSWORD);
  gtk_widget_set_hexpand(entry, TRUE);
  return entry;
}

void SetMnemonic(GtkWidget* widget, const std::string& text) {
  if (GTK_IS_LABEL(widget)) gtk_label_set_text_with_mnemonic(GTK_LABEL(widget), i18n::ToMnemonic(text).c_str());
  else gtk_button_set_label(GTK_BUTTON(widget), i18n::ToMnemonic(text).c_str());
}

}  // namespace

PackWindow::PackWindow(TfrmPack& form, std::function<void()> closed)
    : form_(form), closed_(std::move(closed)), window_(gtk_window_new(GTK_WINDOW_TOPLEVEL)) {
  gtk_widget_set_name(window_.get(), "frmPack");
  gtk_window_set_role(window(), "coffer-pack");
  gtk_window_set_position(window(), GTK_WIN_POS_CENTER);
  gtk_window_set_default_size(window(), 560, -1);
  gtk::OnDeleteEvent(window_.get(), [this] {
    if (form_.FormCloseQuery()) Close();
    return true;
  });

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
  gtk_container_set_border_width(GTK_CONTAINER(box), 14);
  gtk_box_pack_start(GTK_BOX(box), BuildSources(), TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(box), BuildFields(), FALSE, FALSE, 0);

  pbProgress_ = Named(gtk_progress_bar_new(), "pbProgress");
  gtk_widget_set_margin_top(pbProgress_, 6);
  gtk_box_pack_start(GTK_BOX(box), pbProgress_, FALSE, FALSE, 0);
  lblProgress_ = Label("lblProgress");
  gtk_box_pack_start(GTK_BOX(box), lblProgress_, FALSE, FALSE, 0);

  GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
  gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
  gtk_box_set_spacing(GTK_BOX(buttons), 8);
  btnCreate_ = NewButton("btnCreate", 90, [this] { form_.btnCreateClick(); });
  btnCancel_ = NewButton("btnCancel", 90, [this] { form_.btnCancelClick(); });
  btnClose_ = NewButton("btnClose", 90, [this] {
    if (form_.FormCloseQuery()) Close();
  });
  for (GtkWidget* b : {btnCreate_, btnCancel_, btnClose_}) gtk_container_add(GTK_CONTAINER(buttons), b);
  gtk_box_pack_start(GTK_BOX(box), buttons, FALSE, FALSE, 0);

  gtk_container_add(GTK_CONTAINER(window_.get()), box);
  gtk_widget_show_all(box);
  gtk_widget_set_can_default(btnCreate_, TRUE);
  gtk_window_set_default(window(), btnCreate_);
  form_.set_view(this);
}

PackWindow::~PackWindow() { form_.set_view(nullptr); }

GtkWidget* PackWindow::BuildSources() {
  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
  lblSources_ = Label("lblSources");
  gtk_box_pack_start(GTK_BOX(box), lblSources_, FALSE, FALSE, 0);

  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC, GTK_POLICY_AUTOMATIC);
  gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scrolled), GTK_SHADOW_IN);
  gtk_widget_set_size_request(scrolled, 360, 130);
  lstSources_ = Named(gtk_list_box_new(), "lstSources");
  gtk_list_box_set_selection_mode(GTK_LIST_BOX(lstSources_), GTK_SELECTION_MULTIPLE);
  gtk_container_add(GTK_CONTAINER(scrolled), lstSources_);
  gtk_label_set_mnemonic_widget(GTK_LABEL(lblSources_), lstSources_);
  gtk_box_pack_start(GTK_BOX(row), scrolled, TRUE, TRUE, 0);

  // Files and folders dropped from the file manager come as a URI list.
  static GtkTargetEntry uri_list = {const_cast<gchar*>("text/uri-list"), 0, 0};
  gtk_drag_dest_set(scrolled, GTK_DEST_DEFAULT_ALL, &uri_list, 1, GDK_ACTION_COPY);
  gtk::Signal<void(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData*, guint, guint)>::Connect(
      scrolled, "drag-data-received",
      [this](GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint, guint) { DataReceived(data); });

  GtkWidget* side = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  btnAddFiles_ = NewButton("btnAddFiles", 120, [this] { AddFiles(); });
  btnAddFolder_ = NewButton("btnAddFolder", 120, [this] {
    PickInto([this](const std::string& folder) { form_.AddSources({folder}); });
  });
  btnRemove_ = NewButton("btnRemove", 120, [this] {
    GList* rows = gtk_list_box_get_selected_rows(GTK_LIST_BOX(lstSources_));
    std::vector<int> indices;
    for (GList* r = rows; r; r = r->next) indices.push_back(gtk_list_box_row_get_index(GTK_LIST_BOX_ROW(r->data)));
    g_list_free(rows);
    // From the last, so that the earlier indices stay right.
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) form_.RemoveSource(*it);
  });
  for (GtkWidget* b : {btnAddFiles_, btnAddFolder_, btnRemove_}) gtk_box_pack_start(GTK_BOX(side), b, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(row), side, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(box), row, TRUE, TRUE, 0);
  return box;
}

GtkWidget* PackWindow::BuildFields() {
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 6);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 10);
  gtk_widget_set_margin_top(grid, 6);
  int row = 0;
  auto attach = [&](GtkWidget* label, GtkWidget* field, int width = 2) {
    if (label) gtk_grid_attach(GTK_GRID(grid), label, 0, row, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), field, 1, row, width, 1);
    if (label && GTK_IS_LABEL(label)) gtk_label_set_mnemonic_widget(GTK_LABEL(label), field);
    ++row;
  };

  lblName_ = Label("lblName");
  edName_ = Named(gtk_entry_new(), "edName");
  gtk_widget_set_hexpand(edName_, TRUE);
  attach(lblName_, edName_);

  lblFolder_ = Label("lblFolder");
  edFolder_ = Named(gtk_entry_new(), "edFolder");
  gtk_widget_set_hexpand(edFolder_, TRUE);
  gtk_grid_attach(GTK_GRID(grid), lblFolder_, 0, row, 1, 1);
  gtk_grid_attach(GTK_GRID(grid), edFolder_, 1, row, 1, 1);
  gtk_label_set_mnemonic_widget(GTK_LABEL(lblFolder_), edFolder_);
  btnBrowse_ = NewButton("btnBrowse", 90, [this] {
    PickInto([this](const std::string& folder) { SetOutputFolder(folder); });
  });
  gtk_grid_attach(GTK_GRID(grid), btnBrowse_, 2, row++, 1, 1);

  lblPassword_ = Label("lblPassword");
  edPassword_ = SecretEntry("edPassword");
  gtk::Signal<void(GtkEntry*)>::Connect(GTK_ENTRY(edPassword_), "changed", [this](GtkEntry*) { form_.PasswordChanged(); });
  attach(lblPassword_, edPassword_);
  lblRepeat_ = Label("lblRepeat");
  edRepeat_ = SecretEntry("edRepeat");
  gtk_entry_set_activates_default(GTK_ENTRY(edRepeat_), TRUE);
  attach(lblRepeat_, edRepeat_);

  pbStrength_ = Named(gtk_level_bar_new_for_interval(0, 1), "pbStrength");
  gtk_level_bar_set_mode(GTK_LEVEL_BAR(pbStrength_), GTK_LEVEL_BAR_MODE_CONTINUOUS);
  // The bar's colours by level: below fair it shows as low.
  gtk_level_bar_add_offset_value(GTK_LEVEL_BAR(pbStrength_), GTK_LEVEL_BAR_OFFSET_LOW, 11.0 / 16);
  gtk_level_bar_add_offset_value(GTK_LEVEL_BAR(pbStrength_), GTK_LEVEL_BAR_OFFSET_HIGH, 15.0 / 16);
  gtk_level_bar_add_offset_value(GTK_LEVEL_BAR(pbStrength_), GTK_LEVEL_BAR_OFFSET_FULL, 1);
  gtk_widget_set_valign(pbStrength_, GTK_ALIGN_CENTER);
  attach(nullptr, pbStrength_);
  lblAdvice_ = Label("lblAdvice");
  gtk_label_set_line_wrap(GTK_LABEL(lblAdvice_), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(lblAdvice_), 60);
  attach(nullptr, lblAdvice_);

  chkShowPassword_ = Named(gtk_check_button_new_with_mnemonic(""), "chkShowPassword");
  gtk::OnToggled(GTK_TOGGLE_BUTTON(chkShowPassword_), [this](bool on) { form_.chkShowPasswordClick(on); });
  attach(nullptr, chkShowPassword_);
  chkHideNames_ = Named(gtk_check_button_new_with_mnemonic(""), "chkHideNames");
  attach(nullptr, chkHideNames_);

  lblTarget_ = Label("lblTarget");
  GtkWidget* targets = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 12);
  rbLinux_ = Named(gtk_radio_button_new_with_mnemonic(nullptr, ""), "rbLinux");
  rbWindows_ = Named(gtk_radio_button_new_with_mnemonic_from_widget(GTK_RADIO_BUTTON(rbLinux_), ""), "rbWindows");
  gtk_box_pack_start(GTK_BOX(targets), rbLinux_, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(targets), rbWindows_, FALSE, FALSE, 0);
  attach(lblTarget_, targets);
  return grid;
}

void PackWindow::Show() {
  form_.FormShow();
  gtk_widget_show(window_.get());
  gtk_window_present(window());
}

void PackWindow::ApplyTexts(const Texts& t) {
  texts_ = t;
  gtk_window_set_title(window(), t.caption.c_str());
  const std::pair<GtkWidget*, const std::string*> texts[] = {
      {lblSources_, &t.lblSources}, {btnAddFiles_, &t.btnAddFiles}, {btnAddFolder_, &t.btnAddFolder},
      {btnRemove_, &t.btnRemove},   {lblName_, &t.lblName},         {lblFolder_, &t.lblFolder},
      {btnBrowse_, &t.btnBrowse},   {lblPassword_, &t.lblPassword}, {lblRepeat_, &t.lblRepeat},
      {chkShowPassword_, &t.chkShowPassword}, {chkHideNames_, &t.chkHideNames}, {lblTarget_, &t.lblTarget},
      {rbLinux_, &t.rbLinux},       {rbWindows_, &t.rbWindows},     {btnCreate_, &t.btnCreate},
      {btnCancel_, &t.btnCancel},   {btnClose_, &t.btnClose},
  };
  for (const auto& [widget, text] : texts) SetMnemonic(widget, *text);
}

void PackWindow::ShowSources(const std::vector<std::string>& sources) {
  GList* children = gtk_container_get_children(GTK_CONTAINER(lstSources_));
  for (GList* c = children; c; c = c->next) gtk_widget_destroy(GTK_WIDGET(c->data));
  g_list_free(children);
  for (const auto& s : sources) {
    GtkWidget* label = gtk_label_new(s.c_str());
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_START);
    gtk_widget_set_margin_start(label, 4);
    gtk_widget_show(label);
    gtk_container_add(GTK_CONTAINER(lstSources_), label);
  }
}

std::string PackWindow::OutputName() const { return gtk_entry_get_text(GTK_ENTRY(edName_)); }
void PackWindow::SetOutputName(const std::string& name) { gtk_entry_set_text(GTK_ENTRY(edName_), name.c_str()); }
std::string PackWindow::OutputFolder() const { return gtk_entry_get_text(GTK_ENTRY(edFolder_)); }
void PackWindow::SetOutputFolder(const std::string& f) { gtk_entry_set_text(GTK_ENTRY(edFolder_), f.c_str()); }
std::string PackWindow::PasswordText() const { return gtk_entry_get_text(GTK_ENTRY(edPassword_)); }
std::string PackWindow::RepeatText() const { return gtk_entry_get_text(GTK_ENTRY(edRepeat_)); }
bool PackWindow::HideNames() const { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(chkHideNames_)); }
bool PackWindow::ForWindows() const { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(rbWindows_)); }

void PackWindow::SetWindowsAvailable(bool available) {
  gtk_widget_set_sensitive(rbWindows_, available);
  if (!available) gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(rbLinux_), TRUE);
}

void PackWindow::SetMasked(bool masked) {
  for (GtkWidget* e : {edPassword_, edRepeat_}) gtk_entry_set_visibility(GTK_ENTRY(e), !masked);
}

void PackWindow::ShowStrength(double fraction, StrengthLevel, const std::string& advice) {
  gtk_level_bar_set_value(GTK_LEVEL_BAR(pbStrength_), fraction);
  gtk_label_set_text(GTK_LABEL(lblAdvice_), advice.c_str());
}

void PackWindow::SetBusy(bool busy) {
  for (GtkWidget* w : {lstSources_, btnAddFiles_, btnAddFolder_, btnRemove_, edName_, edFolder_, btnBrowse_,
                       edPassword_, edRepeat_, chkShowPassword_, chkHideNames_, rbLinux_, btnCreate_, btnClose_})
    gtk_widget_set_sensitive(w, !busy);
  gtk_widget_set_sensitive(rbWindows_, !busy && form_.windows_available());
  gtk_widget_set_visible(btnCancel_, busy);
  gtk_widget_set_visible(btnClose_, !busy);
  if (busy) timer_.Every(500, [this] {
    form_.TimerTick();
    return true;
  });
  else timer_.Cancel();
}

void PackWindow::ShowProgress(double fraction, const std::string& line) {
  gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(pbProgress_), fraction);
  // The line starts with a figure, which would make Pango lay a right-to-
  // left sentence out from the left; a mark of the window's direction
  // first keeps the sentence's own order.
  const bool rtl = gtk_widget_get_direction(lblProgress_) == GTK_TEXT_DIR_RTL;
  const std::string text = line.empty() ? line : (rtl ? "\u200F" : "\u200E") + line;
  gtk_label_set_text(GTK_LABEL(lblProgress_), text.c_str());
}

void PackWindow::ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) {
  ShowMessageBox(window(), spec, std::move(done));
}

void PackWindow::OpenFolder(const std::string& folder) {
  gchar* uri = g_filename_to_uri(folder.c_str(), nullptr, nullptr);
  if (uri) gtk_show_uri_on_window(window(), uri, GDK_CURRENT_TIME, nullptr);
  g_free(uri);
}

void PackWindow::Close() {
  gtk_widget_hide(window_.get());
  if (closed_) closed_();
}

void PackWindow::AddFiles() {
  GtkWidget* chooser = gtk_file_chooser_dialog_new(texts_.dlgAddFiles.c_str(), window(), GTK_FILE_CHOOSER_ACTION_OPEN,
                                                   i18n::ToMnemonic(texts_.btnCancel).c_str(), GTK_RESPONSE_CANCEL,
                                                   i18n::ToMnemonic(texts_.btnOK).c_str(), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_widget_set_name(chooser, "dlgAddFiles");
  gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser), TRUE);
  gtk_window_set_modal(GTK_WINDOW(chooser), TRUE);
  gtk::OnResponse(GTK_DIALOG(chooser), [this, chooser](int response) {
    std::vector<std::string> chosen;
    if (response == GTK_RESPONSE_ACCEPT) {
      GSList* names = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(chooser));
      for (GSList* n = names; n; n = n->next) chosen.emplace_back(static_cast<char*>(n->data));
      g_slist_free_full(names, g_free);
    }
    gtk_widget_destroy(chooser);
    if (!chosen.empty()) form_.AddSources(chosen);
  });
  gtk_widget_show(chooser);
}

void PackWindow::PickInto(std::function<void(const std::string&)> chosen) {
  FolderPickerSpec spec;
  spec.title = texts_.dlgFolder;
  spec.initial = OutputFolder();
  spec.accept_label = i18n::ToMnemonic(texts_.btnOK);
  spec.cancel_label = i18n::ToMnemonic(texts_.btnCancel);
  PickFolder(window(), spec, [chosen = std::move(chosen)](std::optional<std::string> folder) {
    if (folder) chosen(*folder);
  });
}

void PackWindow::DataReceived(GtkSelectionData* data) {
  gchar** uris = gtk_selection_data_get_uris(data);
  std::vector<std::string> paths;
  for (gchar** u = uris; u && *u; ++u) {
    if (gchar* path = g_filename_from_uri(*u, nullptr, nullptr)) {
      paths.emplace_back(path);
      g_free(path);
    }
  }
  g_strfreev(uris);
  form_.AddSources(paths);
}

}  // namespace coffer::pack
