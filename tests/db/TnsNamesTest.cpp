// Tests for reading server aliases from tnsnames.ora.
#include "db/TnsNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

TEST(TnsNames, ParsesAliasesOfEveryEntry)
{
    const char* text =
        "# comment = (not an entry)\n"
        "ORCL =\n"
        "  (DESCRIPTION =\n"
        "    (ADDRESS = (PROTOCOL = TCP)(HOST = db)(PORT = 1521))\n"
        "    (CONNECT_DATA = (SERVICE_NAME = orcl)))\n"
        "sales, sales.us.example.com = (DESCRIPTION=(ADDRESS=(HOST=s))(CONNECT_DATA=(SID=s)))\n"
        "IFILE = /etc/other/tnsnames.ora\n"
        "orcl = (DESCRIPTION=(ADDRESS=(HOST=dup)))\n"
        "Dev=(DESCRIPTION_LIST=(DESCRIPTION=(ADDRESS_LIST=(ADDRESS=(HOST=a))(ADDRESS=(HOST=b)))))\n";
    EXPECT_EQ(db::ParseTnsAliases(text),
              (std::vector<std::string>{"ORCL", "sales", "sales.us.example.com", "Dev"}));
}

TEST(TnsNames, KnownServersPutSandboxFirstThenTnsAdmin)
{
    auto dir = std::filesystem::temp_directory_path() / "tarnel_tns_test";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "tnsnames.ora") << "PROD = (DESCRIPTION=(ADDRESS=(HOST=p)))\n";
    const char* oldAdmin = std::getenv("TNS_ADMIN");
    std::string saved = oldAdmin ? oldAdmin : "";
    setenv("TNS_ADMIN", dir.c_str(), 1);
    EXPECT_EQ(db::KnownServers(), (std::vector<std::string>{"sandbox", "PROD"}));
    setenv("TNS_ADMIN", (dir / "missing").c_str(), 1);   // set but empty: nothing else is tried
    setenv("ORACLE_HOME", dir.c_str(), 1);
    EXPECT_EQ(db::KnownServers(), std::vector<std::string>{"sandbox"});
    unsetenv("TNS_ADMIN");
    std::filesystem::create_directories(dir / "network" / "admin");
    std::ofstream(dir / "network" / "admin" / "tnsnames.ora") << "HOMEDB = (DESCRIPTION=)\n";
    EXPECT_EQ(db::KnownServers(), (std::vector<std::string>{"sandbox", "HOMEDB"}));
    unsetenv("ORACLE_HOME");
    if (oldAdmin)
        setenv("TNS_ADMIN", saved.c_str(), 1);
    std::filesystem::remove_all(dir);
}

} // namespace
