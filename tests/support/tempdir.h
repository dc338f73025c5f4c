/* tempdir.h -- the tests' one temporary folder: a fresh folder under /tmp,
 * removed with everything in it when the object goes. The removal walks the
 * folder itself (std::filesystem::remove_all); no shell is started. And the
 * tests' one way of reading a file back whole.
 *
 *   TempDir dir;                                // /tmp/brevant-test-XXXXXX
 *   std::string path = dir.File("a.txt", "1,\t0,\t975,\r\n");
 *   std::string bytes = ReadFile(path);
 */
#pragma once

#include <string>

struct TempDir {
    std::string path; /* empty when no folder could be made */

    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    /* The path of name inside the folder; the file is written with content
     * when content is not empty. */
    std::string File(const std::string &name, const std::string &content = "") const;
};

/* The bytes of the file at path; empty when it cannot be read. */
std::string ReadFile(const std::string &path);
