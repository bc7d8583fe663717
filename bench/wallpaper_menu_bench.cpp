// How long the wallpaper list takes to build from a large folder, under Wine
// or Windows: the real TKorvanMain asks its worker for the list of a folder of
// N pictures again and again, and the time runs until the menu holds it.
// Prints the first build (a cold directory) and the median of the rest, and
// the two parts of a rebuild: clearing the previous list, then listing the
// folder into the empty one. The last line is for scripts.
//
//   bench_wallpaper_menu.exe [files] [rounds] [folders]     defaults 10000, 20 and 0
//
// With folders, the files are spread over that many subfolders, listed with SubFolders=1.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/korvan_main.h"
#include "framework/application.h"
#include "framework/handles.h"
#include "portable/file_paths.h"
#include "tests/support/test_support.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The system's part alone: every entry of the folder and its subfolders
// read with the same calls, and nothing done with them.
int BareWalk(const std::string& folder) {
    int entries = 0;
    std::vector<std::string> folders;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileExA((folder + "\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        ++entries;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            folders.push_back(folder + "\\" + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& sub : folders)
        entries += BareWalk(sub);
    return entries;
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::max(2, std::atoi(argv[2])) : 20;
    const int subfolders = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;

    const testing_support::TempFolder pictures("yorunel_bench");
    const std::string& folder = pictures.Path();
    for (int i = 0; i < subfolders; ++i)
        CreateDirectoryA(pictures.File("folder" + std::to_string(i)).c_str(), nullptr);
    for (int i = 0; i < files; ++i) {
        // Three pictures in four names: the list tests every entry.
        const char* extension = i % 4 == 3 ? ".txt" : (i % 4 == 2 ? ".htm" : ".jpg");
        const std::string folder = subfolders ? "folder" + std::to_string(i % subfolders) + "\\" : std::string();
        testing_support::WriteFileBytes(pictures.File(folder + "picture" + std::to_string(i) + extension), "");
    }

    // The main window reads its settings beside the program; without them it
    // would stop at the first-run message.
    const std::string ini = ChangeFileExt(ProgramFileName(), ".ini");
    WritePrivateProfileStringA("HotKey", "WallPaperPath", folder.c_str(), ini.c_str());
    WritePrivateProfileStringA("HotKey", "Time", "0", ini.c_str());
    WritePrivateProfileStringA("Wallpaper", "SubFolders", subfolders ? "1" : "0", ini.c_str());

    com_init com;
    TApplication application;
    std::vector<double> times, clears, lists;
    int listed = 0;
    {
        auto* main = new TKorvanMain(&application);
        // The list comes back from the worker: each build ends once the menu has it.
        int built = 0;
        const auto fill = main->Wallpapers->OnListed;
        main->Wallpapers->OnListed = [&](const std::vector<std::u16string>& paths, const std::vector<RECT>& monitors,
                                         unsigned number) {
            fill(paths, monitors, number);
            ++built;
        };
        testing_support::WaitUntil([&] { return built > 0; }, 60000, 1);
        const auto build = [&] {
            const int before = built;
            main->BuildWallpaperMenu();
            testing_support::WaitUntil([&] { return built > before; }, 60000, 1);
        };
        for (int round = 0; round < rounds; ++round) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            build();
            QueryPerformanceCounter(&end);
            times.push_back(Milliseconds(start, end));
        }
        // The same rebuild in its two parts.
        for (int round = 0; round < rounds; ++round) {
            LARGE_INTEGER start, cleared, end;
            QueryPerformanceCounter(&start);
            main->N4->Clear();
            QueryPerformanceCounter(&cleared);
            build();
            QueryPerformanceCounter(&end);
            clears.push_back(Milliseconds(start, cleared));
            lists.push_back(Milliseconds(cleared, end));
        }
        listed = static_cast<int>(main->WallpaperList().size());
        main->FormClose(main);
        delete main;
    }
    DeleteFileA(ini.c_str());
    std::vector<double> bare;
    for (int round = 0; round < rounds; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        BareWalk(folder);
        QueryPerformanceCounter(&end);
        bare.push_back(Milliseconds(start, end));
    }
    std::sort(bare.begin(), bare.end());

    const double first = times.front();
    std::vector<double> rest(times.begin() + 1, times.end());
    std::sort(rest.begin(), rest.end());
    std::printf("BuildWallpaperMenu, %d files, %d listed: first %.1f ms, median of %d more %.1f ms (min %.1f, max %.1f)\n",
                files, listed, first, static_cast<int>(rest.size()), rest[rest.size() / 2], rest.front(), rest.back());
    std::sort(clears.begin(), clears.end());
    std::sort(lists.begin(), lists.end());
    const double clear = clears[clears.size() / 2];
    const double list = lists[lists.size() / 2];
    std::printf("  of a rebuild, medians of %d: clearing the previous list %.2f ms, listing into the empty list"
                " %.2f ms\n",
                rounds, clear, list);
    std::printf("  the system's part alone (the same entries read, nothing done with them): median %.2f ms\n",
                bare[bare.size() / 2]);
    std::printf("wallpaper-menu files=%d folders=%d listed=%d rebuild=%.3f clear=%.3f list=%.3f bare=%.3f\n", files,
                subfolders, listed, rest[rest.size() / 2], clear, list, bare[bare.size() / 2]);
    return 0;
}
