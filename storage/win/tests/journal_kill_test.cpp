// Journaled writes through real Win32 files, killed at random moments: this
// test starts itself again as a writer (the Driver case, which runs only
// when OSTREL_KILL_DRIVER names a folder), ends it with TerminateProcess,
// then reopens the file and checks every write the writer had logged as
// finished, and the structure, before the next run.
#include "storage/dms.h"
#include "storage/structure_verifier.h"
#include "storage/tests/dictionary_schema_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <windows.h>
#undef CreateFile  // <windows.h> maps it to CreateFileW; here it is CDMS::CreateFile

namespace {

constexpr int kRuns = 30;

std::u16string Utf16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(static_cast<char>(c));
    return out;
}

// The bytes of the n-th write: lengths from one chunk to several pages.
std::vector<uint8_t> BlockBytes(uint32_t n) {
    std::vector<uint8_t> bytes(20 + (n * 2654435761u) % 9000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(n * 31 + i);
    return bytes;
}

struct Logged {
    uint32_t n;
    uint32_t position;
};

std::vector<Logged> ReadLog(const std::string& path) {
    std::vector<Logged> log;
    std::ifstream in(path);
    uint32_t n = 0, position = 0;
    while (in >> n >> position) log.push_back({n, position});
    return log;
}

std::u16string Folder() {
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    std::u16string folder = reinterpret_cast<const char16_t*>(buffer);
    folder += u"ostrel_kill_" + Utf16(std::to_string(GetCurrentProcessId()));
    CreateDirectoryW(reinterpret_cast<const wchar_t*>(folder.c_str()), nullptr);
    return folder;
}

TEST(JournalKill, Driver) {
    char folderBuffer[MAX_PATH] = {};
    if (GetEnvironmentVariableA("OSTREL_KILL_DRIVER", folderBuffer, MAX_PATH) == 0) GTEST_SKIP();
    std::u16string folder = Utf16(folderBuffer);
    std::string schema = DictionarySchemaForTests();
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    ASSERT_EQ(engine.OpenFile(folder + u"\\kill.qdx", 0, schema, &id), DmsStatus::Success);
    uint32_t cursor = 0;
    ASSERT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
    std::string logPath = Narrow(folder) + "\\oracle.log";
    uint32_t n = static_cast<uint32_t>(ReadLog(logPath).size());
    std::FILE* log = std::fopen(logPath.c_str(), "a");
    ASSERT_NE(log, nullptr);
    // Bounded, so an orphaned writer ends by itself.
    for (int i = 0; i < 20000; ++i, ++n) {
        std::vector<uint8_t> bytes = BlockBytes(n);
        uint32_t position = 0;
        ASSERT_EQ(engine.WriteData(cursor, bytes.data(), static_cast<uint32_t>(bytes.size()), &position),
                  DmsStatus::Success);
        std::fprintf(log, "%u %u\n", n, position);
        std::fflush(log);  // in the system's hands: it survives a process kill
    }
    std::fclose(log);
}

TEST(JournalKill, KilledWriterAlwaysReopensToItsOracle) {
    std::u16string folder = Folder();
    std::u16string path = folder + u"\\kill.qdx";
    std::string logPath = Narrow(folder) + "\\oracle.log";
    IStorageIO& io = SystemStorageIO();
    io.Delete(path);
    io.Delete(folder + u"\\kill.trn");
    std::remove(logPath.c_str());
    std::string schema = DictionarySchemaForTests();
    {
        CDMS engine(io);
        ASSERT_EQ(engine.CreateFile(path, schema), DmsStatus::Success);
    }
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=JournalKill.Driver";
    SetEnvironmentVariableA("OSTREL_KILL_DRIVER", Narrow(folder).c_str());
    std::mt19937 random(12345);
    int recovered = 0;
    for (int run = 0; run < kRuns; ++run) {
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::wstring line = command;
        // No console: a kill that lands while the child's console host starts
        // would leave that host running, holding the test's output open.
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                                   &si, &pi));
        Sleep(150 + random() % 700);
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);

        std::ifstream raw(Narrow(path), std::ios::binary);
        char head[16] = {};
        raw.read(head, sizeof head);
        raw.close();
        if (head[14] != 0 || head[15] != 0) ++recovered;

        CDMS engine(io);
        int32_t id = 0;
        ASSERT_EQ(engine.OpenFile(path, 0, schema, &id), DmsStatus::Success) << "run " << run;
        uint32_t cursor = 0;
        ASSERT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
        for (const Logged& l : ReadLog(logPath)) {
            std::vector<uint8_t> expected = BlockBytes(l.n);
            std::vector<uint8_t> got(expected.size());
            uint32_t count = static_cast<uint32_t>(got.size());
            ASSERT_EQ(engine.ReadData(cursor, l.position, got.data(), &count), DmsStatus::Success)
                << "run " << run << " write " << l.n;
            ASSERT_EQ(got, expected) << "run " << run << " write " << l.n;
        }
        VerifyReport report = VerifyFile(*engine.FindFile(id));
        ASSERT_TRUE(report.ok()) << "run " << run << ": " << report.faults.front();
        ASSERT_EQ(engine.CloseFile(id), DmsStatus::Success);
    }
    SetEnvironmentVariableA("OSTREL_KILL_DRIVER", nullptr);
    std::printf("%d of %d killed writers left the flag set; %zu writes checked\n", recovered, kRuns,
                ReadLog(logPath).size());
    EXPECT_GT(ReadLog(logPath).size(), 0u);
}

}  // namespace
