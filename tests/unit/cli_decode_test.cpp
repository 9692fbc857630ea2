// kestrel-cli decode on the worked examples of the setting and logo streams, and on broken files.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

#include "cli_test_support.h"
#include "settings/factory_defaults.h"
#include "settings/setting_options.h"
#include "test_helpers.h"

namespace kestrel {
namespace {

using testing::Cli;
using testing::Hex;

std::string WriteJob(const Cli& cli, const std::string& name, const std::string& hex) {
    const std::string path = cli.folder + "/" + name;
    const auto bytes = Hex(hex);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(CliDecode, TheSettingExampleCarriesTheBaseDefaultRecord) {
    Cli cli;
    const std::string file = WriteJob(cli, "send.prn", testing::kSendWorkedExample);
    ASSERT_EQ(cli.run({"decode", file.c_str(), "--json"}), 0) << cli.err.str();
    const auto doc = nlohmann::json::parse(cli.out.str());
    EXPECT_EQ(doc["size"], 167);
    EXPECT_TRUE(doc["errors"].empty());

    const SettingsRecord& base = FactoryDefaultRecord(SpecIndex::OVERSEA, MechanismIndex::STANDARD);
    std::set<std::string> labels;
    for (const auto& s : doc["settings"]) {
        labels.insert(s["label"].get<std::string>());
        EXPECT_EQ(s["index"], base[s["offset"].get<std::size_t>()]) << s["label"];
    }
    // Everything but the cut adjustment, which only an Egypt stream carries.
    EXPECT_EQ(labels.size(), AllSettings().size() - 1);
    EXPECT_FALSE(labels.contains("BM Cut Adjustment"));

    Cli text;
    ASSERT_EQ(text.run({"decode", file.c_str()}), 0);
    for (const char* line : {
             "    13  GS ( E fn 3: memory switch 1 = \"00200101\": INIT(#25) Reset: Disable, "
             "DSR(#6) Reset: Disable, Auto LF: Disable, Receive Error: ?Print, Busy Condition: "
             "BufferFull, Receive Buffer: 4KByte, Power on Status: Enable\n",
             "customize value 03 = 48: Paper Width: 80mm/48column\n",
             "    76  GS ( E fn 11: baud rate 115200: Baudrate: 115200BPS\n",
             "  Format                 8NONE1\n",
         }) {
        EXPECT_NE(text.out.str().find(line), std::string::npos) << line << text.out.str();
    }
}

TEST(CliDecode, TheLogoExamplesAreNamedCommandByCommand) {
    struct Case {
        const char* hex;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        // Slot 3 from a 10 x 2 monochrome bitmap.
        {"1D 38 4C 0F 00 00 00 30 43 30 22 20 01 10 00 02 00 31 FF C0 80 40",
         {"     0  GS 8 L fn 67: define NV graphics key 22 20 (logo 3): 16 x 2 dots, one colour, "
          "4 bytes a plane"}},
        // Slot 5 printed in monochrome without the cut.
        {"1D 65 75 43 01 1C 43 01 4C 6F 67 6F 35 28 4D 6F 6E 6F 63 68 72 6F 6D 65 29 1C 43 00 0A "
         "1D 28 4C 06 00 30 45 24 20 01 01 0A",
         {"     0  GS e u C 1: print in the first colour only",
          "     5  FS C 1: caption characters on", "     8  text: \"Logo5(Monochrome)\"",
          "    28  LF: print the line",
          "    29  GS ( L fn 69: print NV graphics key 24 20 (logo 5), scale 1 x 1",
          "    40  LF: print the line"}},
        // Slot 1 deleted.
        {"1D 28 4C 04 00 30 42 20 20",
         {"     0  GS ( L fn 66: delete NV graphics key 20 20 (logo 1)"}},
    };
    for (const Case& c : cases) {
        Cli cli;
        // A logo the stream prints without defining it may be in the printer: not an error.
        ASSERT_EQ(cli.run({"decode", WriteJob(cli, "logo.prn", c.hex).c_str()}), 0)
            << cli.err.str();
        for (const std::string& line : c.lines) {
            EXPECT_NE(cli.out.str().find(line + "\n"), std::string::npos) << line << cli.out.str();
        }
    }
}

TEST(CliDecode, AMalformedStreamExitsOneAndNamesTheOffset) {
    Cli cli;
    // The send example with its leave command cut short.
    std::string cut = testing::kSendWorkedExample;
    cut.resize(cut.size() - 3);
    const std::string file = WriteJob(cli, "cut.prn", cut);
    EXPECT_EQ(cli.run({"decode", file.c_str()}), 1);
    EXPECT_NE(cli.err.str().find(file + ": offset 158: GS ( E: cut short by the end of the stream"),
              std::string::npos)
        << cli.err.str();
    EXPECT_NE(cli.err.str().find("offset 166: the stream ends in user-setup mode"),
              std::string::npos);
    EXPECT_EQ(cli.out.str().find("Settings the printer takes"), std::string::npos);

    Cli missing;
    EXPECT_EQ(missing.run({"decode", (missing.folder + "/none.prn").c_str()}), 1);
    EXPECT_NE(missing.err.str().find("none.prn: cannot be read"), std::string::npos);
}

}  // namespace
}  // namespace kestrel
