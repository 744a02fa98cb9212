#include "setup/SetupForm.h"

#include <cstdio>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/sys/Files.h"
#include "platform/sys/PathMapper.h"
#include "platform/sys/Process.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Services.h"
#include "setup/SetupHelpers.h"
#include "setup/SetupPicture.h"

namespace vdmq::setup {

TfmMain* fmMain = nullptr;

namespace {

constexpr int kButtonTop = 288, kButtonWidth = 90, kButtonHeight = 24;
// Free megabytes the installer needs in the temporary folder, at least.
constexpr std::uint64_t kNeededMB = 5;

TButton* MakeButton(TfmMain* form, const char* name, int left, const std::string& caption,
                    void (TfmMain::*handler)(TComponent*)) {
  auto* b = new TButton(form);
  b->Name = name;
  b->SetParent(form);
  b->SetBounds(left, kButtonTop, kButtonWidth, kButtonHeight);
  b->SetCaption(caption);
  b->OnClick = [form, handler](TComponent* sender) { (form->*handler)(sender); };
  return b;
}

// The program's own native path (as the file system names it).
std::string SetupNativePath() { return NativePath(Sys().process->ProgramFile()); }

// Writes the hand-over file: SETUP's path, no line end. False when it could not be written whole.
bool WriteHandOver(const std::string& path) {
  std::FILE* f = FOpen(path, "w");
  if (!f) return false;
  const std::string text = SetupNativePath();
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && written;
}

// The installer copy's folder, ready to take the copy: a link standing there is replaced by a
// folder. False when it is not a folder of the user's own (another account's folder in a shared
// temporary folder, or a link that could not go).
bool PrepareInstallerFolder(const std::string& folder) {
  TFileService& files = *Sys().files;
  if (files.IsLink(folder)) files.DeleteFile(folder);
  files.CreateDirectory(folder);
  return files.FolderExists(folder) && files.IsOwnedByUser(folder);
}

// A string value of the shell folders ("" when it cannot be read).
std::string ShellFolder(TRegistry& reg, const char* name) {
  try {
    return reg.ReadString(name);
  } catch (const EGameError&) {
    return {};
  }
}

}  // namespace

TfmMain::TfmMain(TComponent* owner) : TForm(owner) {
  Name = "fmMain";
  SetBorderStyle(bsDialog);
  SetBorderIcons(0);
  Position = poScreenCenter;
  SetClientSize(480, 320);
  SetColor(clBlack);
  TFont font;
  font.Name = SJS("ＭＳ Ｐゴシック");
  font.Height = -12;
  font.Charset = 128;  // Shift-JIS
  SetFont(font);

  imgBg = new TImage(this);
  imgBg->Name = "imgBg";
  imgBg->SetParent(this);
  imgBg->SetAlign(alClient);
  LoadSetupBackground(imgBg->Picture);

  btnInst = MakeButton(this, "btnInst", 39, SJS("ｲﾝｽﾄｰﾙ"), &TfmMain::btnInstClick);
  btnUnInst = MakeButton(this, "btnUnInst", 146, SJS("ｱﾝｲﾝｽﾄｰﾙ"), &TfmMain::btnUnInstClick);
  btnUser = MakeButton(this, "btnUser", 252, SJS("ユーザー登録"), &TfmMain::btnUserClick);
  btnUser->Hide();
  Button1 = MakeButton(this, "Button1", 359, SJS("終了"), &TfmMain::Button1Click);
  OnCreate = [this](TComponent* sender) { FormCreate(sender); };
}

void TfmMain::UpdateButtons() {
  btnUser->Hide();
  SetCaption(SJS("Veldmark Q 体験版 ｾｯﾄｱｯﾌﾟ"));
  const bool installed = IsInstalled();
  btnInst->SetCaption(installed ? SJS("ｹﾞｰﾑ開始") : SJS("ｲﾝｽﾄｰﾙ"));
  btnUnInst->SetEnabled(installed);
}

void TfmMain::FormCreate(TComponent*) { UpdateButtons(); }

void TfmMain::Button1Click(TComponent*) { Close(); }

// The registration page's helper and address are not part of the product; the button is never shown.
void TfmMain::btnUserClick(TComponent*) {}

void TfmMain::btnInstClick(TComponent*) {
  if (IsInstalled()) {
    StartGame();
  } else {
    HandOverToInstaller();
  }
}

void TfmMain::StartGame() {
  RemoveInstallerCopy();
  if (const auto base = FolderOfValue(GetInstallPath())) {
    const std::string commandLine = QuoteArgument(Utf8ToSjis(SetupNativePath()));
    RunProgram(JoinPath(JoinPath(*base, Names().gameFolder), Names().gameProgram), &commandLine);
  }
  Close();
}

void TfmMain::HandOverToInstaller() {
  const TSetupNames& names = Names();
  const std::string temp = Sys().files->TempPath();
  if (GetDiskFreeMB(temp) < kNeededMB) {
    const std::string drive = temp.size() >= 2 && temp[1] == ':' ? temp.substr(0, 2) : std::string("C:");
    App().MessageBox(SJS("インストールを実行するための作業領域が不足しています。\n") + drive + SJS("に") +
                         std::to_string(kNeededMB) + SJS("MB以上の空き容量を確保して下さい。"),
                     SJS("確認"), MB_OK);
    return;
  }
  const std::string copy = temp + names.installerFolder;
  if (!PrepareInstallerFolder(copy)) return;
  CopyFolderTree(temp, Sys().process->ProgramFolder() + names.installerFolder, names.installerFolder);
  if (!WriteHandOver(copy + names.handOverFile)) return;
  TRegistry reg;
  reg.OpenKey(names.productKey, true);
  reg.WriteString("TempPath", Utf8ToSjis(NativePath(copy)));
  RunProgram(copy + names.installerProgram, nullptr);
  Close();
}

void TfmMain::btnUnInstClick(TComponent*) {
  const TSetupNames& names = Names();
  // Read again: the value may have changed since the window opened.
  const std::string installPath = GetInstallPath();
  const auto base = FolderOfValue(installPath);
  // A native value that names no folder as a Linux path counts as an empty one.
  if (installPath.empty() || (installPath[0] == '/' && !base)) {
    UpdateButtons();
    return;
  }
  TFileService& files = *Sys().files;
  const std::string shown = ShownFolder(installPath, names.gameFolder);
  std::optional<std::string> gameFolder;
  if (base) gameFolder = JoinPath(*base, names.gameFolder);
  const std::string plainProgram = names.gameProgram.substr(0, names.gameProgram.rfind('.'));
  const bool present = gameFolder && (files.FileIsExist(JoinPath(*gameFolder, names.gameProgram)) ||
                                      files.FileIsExist(JoinPath(*gameFolder, plainProgram)));
  const std::string question =
      present
          ? SJS("アンインストールを実行します。\n\n") + shown +
                SJS("フォルダー以下に存在するすべてのファイルが\n削除されます。\n\nよろしいですか？")
          : shown +
                SJS("フォルダー以下に本製品のファイルが存在しません\nすでに手動で削除、または移動された可能性があります"
                    "\n\nレジストリの情報のみ削除します。\nよろしいですか？");
  if (App().MessageBox(question, SJS("確認"), MB_OKCANCEL) == IDOK) {
    if (present) RemoveProductFolder(*gameFolder);
    std::string desktop, programs;
    TRegistry reg;
    if (reg.OpenKey(kShellFoldersKey, false)) {
      desktop = ShellFolder(reg, "Desktop");
      programs = ShellFolder(reg, "Programs");
    }
    // Without a shell folder its entry would be named at the root of the drive: it is left alone.
    if (const auto folder = FolderOfValue(programs)) RemoveProductFolder(JoinPath(*folder, names.startMenuFolder));
    if (const auto folder = FolderOfValue(desktop)) files.DeleteFile(JoinPath(*folder, names.desktopLink));
    DeleteProductRegKey();
    App().MessageBox(SJS("アンインストールを終了しました。"), SJS("報告"), MB_OK);
  }
  UpdateButtons();
}

}  // namespace vdmq::setup
