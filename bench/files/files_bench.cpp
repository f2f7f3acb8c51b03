// Folder/File beside the plain wide Win32 calls on one tree of small files (100 folders of 100 by
// default): enumerating it (every file's full path: the script walks with files and subFolders, two
// searches per folder where the plain walk makes one), listing each folder's files once (one search
// each way), copying it as a tree (Folder.copy), and copying it file by file (a File object per
// file). Each figure is the median of the runs; the script's
// figures include the interpreter's own loop. Run under Wine:
//   files_bench.exe SCRATCH_FOLDER [folders] [files per folder] [runs]
// The scratch folder is emptied at the start and at the end.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/support/script_bench.h"
#include "classes/class_list.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/engine.h"
#include "script/vm/script_host.h"

namespace {

using vexil::bench::Clock;
using vexil::bench::runScript;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double timed(const std::function<void()>& run) {
  auto start = Clock::now();
  run();
  return vexil::bench::secondsSince(start);
}

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  vexil::platform::UniqueFindHandle search(
      vexil::platform::validHandleOrNull(FindFirstFileW((folder + L"\\*").c_str(), &entry)));
  if (search) {
    do {
      std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(path);
      else DeleteFileW(path.c_str());
    } while (FindNextFileW(search.get(), &entry));
  }
  RemoveDirectoryW(folder.c_str());
}

void makeTree(const std::wstring& root, int folders, int files) {
  CreateDirectoryW(root.c_str(), nullptr);
  std::string content(1000, 'x');
  for (int d = 0; d < folders; ++d) {
    std::wstring folder = root + L"\\folder" + std::to_wstring(d);
    CreateDirectoryW(folder.c_str(), nullptr);
    for (int f = 0; f < files; ++f) {
      std::wstring path = folder + L"\\file" + std::to_wstring(f) + L".dat";
      vexil::platform::UniqueKernelHandle file(vexil::platform::validHandleOrNull(
          CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)));
      DWORD written = 0;
      WriteFile(file.get(), content.data(), DWORD(content.size()), &written, nullptr);
    }
  }
}

// The full paths of the files directly in the folder.
void plainFiles(const std::wstring& folder, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW entry;
  vexil::platform::UniqueFindHandle search(
      vexil::platform::validHandleOrNull(FindFirstFileW((folder + L"\\*").c_str(), &entry)));
  if (!search) return;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(folder + L"\\" + entry.cFileName);
  } while (FindNextFileW(search.get(), &entry));
}

// Every file's full path, folders walked recursively: what a program without the classes does.
void plainList(const std::wstring& folder, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW entry;
  vexil::platform::UniqueFindHandle search(
      vexil::platform::validHandleOrNull(FindFirstFileW((folder + L"\\*").c_str(), &entry)));
  if (!search) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) plainList(folder + L"\\" + name, out);
    else out.push_back(folder + L"\\" + name);
  } while (FindNextFileW(search.get(), &entry));
}

void plainCopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW entry;
  vexil::platform::UniqueFindHandle search(
      vexil::platform::validHandleOrNull(FindFirstFileW((from + L"\\*").c_str(), &entry)));
  if (!search) return;
  do {
    std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) plainCopyTree(from + L"\\" + name, to + L"\\" + name);
    else CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search.get(), &entry));
}

std::string scriptText(const std::wstring& text) { return vexil::platform::toAnsi(text); }

// A script string literal of a path.
std::string literal(const std::wstring& path) {
  std::string out = "\"";
  for (char c : scriptText(path)) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out + "\"";
}

const char kScriptWalk[] =
    "function walk(folder, out) {"
    "  var files = folder.files;"
    "  for (var i = 0; i < files.length; i++) out[out.length] = files[i];"
    "  var subs = folder.subFolders;"
    "  for (var i = 0; i < subs.length; i++) walk(new Folder(subs[i]), out);"
    "  return out;"
    "}";

void report(const char* what, double plain, double classes, int files) {
  std::printf("%-34s plain %8.1f ms (%6.1f us/file)   classes %8.1f ms (%6.1f us/file)   ratio %.2f\n", what,
              plain * 1e3, plain / files * 1e6, classes * 1e3, classes / files * 1e6, classes / plain);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: files_bench SCRATCH_FOLDER [folders] [files per folder] [runs]\n", stderr);
    return 2;
  }
  std::wstring scratch = vexil::platform::toWide(std::string_view(argv[1]));
  int folders = argc > 2 ? std::atoi(argv[2]) : 100;
  int perFolder = argc > 3 ? std::atoi(argv[3]) : 100;
  int runs = argc > 4 ? std::atoi(argv[4]) : 5;
  int files = folders * perFolder;
  removeTree(scratch);
  CreateDirectoryW(scratch.c_str(), nullptr);
  std::wstring tree = scratch + L"\\tree", copies = scratch + L"\\copies";
  makeTree(tree, folders, perFolder);

  vexil::script::ScriptHostOptions options;
  vexil::script::ClassRegistry classes = vexil::classes::standardClasses();
  vexil::script::ScriptHost* host = vexil::script::createScriptHost(&options, &classes);
  runScript(*host, std::string(kScriptWalk) + "var root = " + literal(tree) + ", target = " + literal(copies) + ";" +
                       "var folders = [], subs = new Folder(root).subFolders;" +
                       "for (var i = 0; i < subs.length; i++) folders[i] = new Folder(subs[i]);");
  std::vector<std::wstring> folderPaths;
  for (int d = 0; d < folders; ++d) folderPaths.push_back(tree + L"\\folder" + std::to_wstring(d));

  std::vector<double> plainList_, classList, plainOnce, classOnce, plainTree, classTree, plainEach, classEach;
  for (int run = 0; run < runs; ++run) {
    std::vector<std::wstring> listed;
    plainList_.push_back(timed([&] { plainList(tree, listed); }));
    classList.push_back(timed([&] { runScript(*host, "var listed = walk(new Folder(root), []);"); }));
    if (listed.size() != size_t(files)) std::fprintf(stderr, "plain listing found %zu files\n", listed.size());
    plainOnce.push_back(timed([&] {
      std::vector<std::wstring> found;
      for (const std::wstring& folder : folderPaths) plainFiles(folder, found);
    }));
    classOnce.push_back(timed([&] {
      runScript(*host, "var n = 0; for (var i = 0; i < folders.length; i++) n += folders[i].files.length;");
    }));

    removeTree(copies);
    plainTree.push_back(timed([&] { plainCopyTree(tree, copies); }));
    removeTree(copies);
    classTree.push_back(timed([&] { runScript(*host, "if (!new Folder(root).copy(target)) trace(\"copy failed\");"); }));

    // File by file into one folder, over the copies the tree copy left (CopyFile overwrites).
    std::wstring flat = copies + L"\\folder0";
    plainEach.push_back(timed([&] {
      for (const std::wstring& path : listed) {
        CopyFileW(path.c_str(), (flat + path.substr(path.rfind(L'\\'))).c_str(), FALSE);
      }
    }));
    classEach.push_back(timed([&] {
      runScript(*host,
                "var flat = target + \"\\\\folder0\\\\\";"
                "for (var i = 0; i < listed.length; i++) {"
                "  var f = new File(listed[i]);"
                "  if (!f.copy(flat + f.name)) trace(\"copy failed\");"
                "}");
    }));
  }
  std::printf("%d files of 1000 bytes in %d folders; median of %d runs\n", files, folders, runs);
  report("enumerate the tree (full paths)", median(plainList_), median(classList), files);
  report("each folder's files, once", median(plainOnce), median(classOnce), files);
  report("copy the tree", median(plainTree), median(classTree), files);
  report("copy file by file (File objects)", median(plainEach), median(classEach), files);
  vexil::script::destroyScriptHost(host);
  removeTree(scratch);
  return 0;
}
