/* tempdir.cpp -- the tests' temporary folder (see tempdir.h). */
#include "tests/support/tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

TempDir::TempDir()
{
    char tmpl[] = "/tmp/brevant-test-XXXXXX";
    if (mkdtemp(tmpl) != nullptr) path = tmpl;
}

TempDir::~TempDir()
{
    if (path.empty()) return;
    std::error_code ec; /* a folder already gone is no failure of the test */
    std::filesystem::remove_all(path, ec);
}

std::string TempDir::File(const std::string &name, const std::string &content) const
{
    const std::string p = path + "/" + name;
    if (!content.empty()) std::ofstream(p, std::ios::binary) << content;
    return p;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
