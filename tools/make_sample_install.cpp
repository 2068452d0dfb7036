// Builds a UT2004-like game folder for trying the program out:
//   make_sample_install [--force] <folder> [<stand-in ucc>]
// The folder gets System/UT2004.exe (so the program, copied into System,
// finds the game beside itself), a Cache whose index spans several download
// times with a missing file and a numbered variant, content folders with a
// few packages, and a mod folder with its own Maps. With --force an earlier
// sample at that place is replaced; a folder that is not a sample is never
// touched.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* kMarker = ".quillmere-sample";

void writeFile(const fs::path& p, const std::string& content) {
    fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::string package(const std::string& name, size_t size) {
    // Unreal packages start with this tag; the rest is filler.
    std::string data = "\xC1\x83\x2A\x9E";
    data += name;
    while (data.size() < size) data += static_cast<char>('a' + data.size() % 26);
    return data;
}

void setAge(const fs::path& p, std::chrono::seconds age) {
    fs::last_write_time(p, fs::file_time_type::clock::now() - age);
}

std::string key(unsigned n) {
    // Cache keys are 32 hexadecimal digits.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X%08X%08X%08X", 0x5A1E0000u + n * 7919u, 0x0C0FFEE0u ^ (n * 104729u),
                  0x13572468u + n * 31u, 0xBEEF0000u | n);
    return buf;
}

struct Download {
    const char* name;
    std::chrono::seconds age;
};

}  // namespace

int main(int argc, char** argv) {
    using namespace std::chrono_literals;
    std::vector<std::string> args(argv + 1, argv + argc);
    bool force = false;
    if (!args.empty() && args[0] == "--force") {
        force = true;
        args.erase(args.begin());
    }
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: make_sample_install [--force] <folder> [<stand-in ucc>]\n");
        return 2;
    }
    const fs::path root = args[0];
    try {
        if (fs::exists(root)) {
            if (!force || !fs::exists(root / kMarker)) {
                std::fprintf(stderr, "%s exists and is not a sample installation to replace\n", root.string().c_str());
                return 1;
            }
            fs::remove_all(root);
        }
        writeFile(root / kMarker, "A sample game folder made for trying Quillmere out.\n");
        writeFile(root / "System" / "UT2004.exe", "MZ sample game executable\n");
        writeFile(root / "System" / "UT2004.ini", "[Engine.Engine]\r\nRenderDevice=D3DDrv.D3DRenderDevice\r\n");
        if (args.size() == 2) {
            fs::copy_file(args[1], root / "System" / "ucc-bin", fs::copy_options::overwrite_existing);
            fs::permissions(root / "System" / "ucc-bin", fs::perms::owner_all | fs::perms::group_read |
                                                              fs::perms::group_exec | fs::perms::others_read |
                                                              fs::perms::others_exec);
        }

        // Installed content: packages on every content page, of sizes and
        // dates that tell the sort orders apart (names in either case, one
        // with blanks).
        struct Installed {
            const char* folder;
            const char* name;
            size_t size;
            std::chrono::hours age;
        };
        const Installed installed[] = {
            {"Maps", "DM-Rankin.ut2", 2250000, 900h},       {"Maps", "CTF-FaceClassic.ut2", 5820000, 880h},
            {"Maps", "ONS-Torlan.ut2", 11400000, 870h},     {"Maps", "dm-antalus.ut2", 1588, 300h},
            {"Maps", "BR-Colossus.ut2", 7300000, 600h},     {"Maps", "DM Deck 17 Remix.ut2", 3100000, 40h},
            {"Maps", "as-convoy.ut2", 9800000, 20h},        {"Textures", "XGameTextures.utx", 24000000, 900h},
            {"Textures", "2K4Menus.utx", 410000, 900h},     {"Textures", "AlleriaTerrain.utx", 3600000, 700h},
            {"Sounds", "AnnouncerMain.uax", 5200000, 900h}, {"Sounds", "WeaponSounds.uax", 2700000, 900h},
            {"Music", "KR-Mechanism.ogg", 3900000, 900h},   {"Music", "Chain.ogg", 2900000, 880h},
            {"StaticMeshes", "AW-Meshes.usx", 1200000, 800h}, {"StaticMeshes", "HumanoidHardware.usx", 8700000, 800h},
            {"Animations", "HumanMaleA.ukx", 6100000, 900h}, {"Animations", "Weapons.ukx", 1900000, 850h},
            {"System", "XGame.u", 900000, 900h},            {"System", "XGame.int", 12000, 900h},
            {"Speech", "ReadMe.txt", 2048, 900h},
        };
        for (const Installed& p : installed) {
            // The package's start, then room (sparse where the disk allows).
            writeFile(root / p.folder / p.name, package(p.name, 256));
            fs::resize_file(root / p.folder / p.name, p.size);
            setAge(root / p.folder / p.name, p.age);
        }
        fs::create_directories(root / "ForceFeedback");

        // A mod with its own Maps folder (and its own System).
        writeFile(root / "SampleMod" / "Maps" / "DM-SampleMod-Arena.ut2", package("DM-SampleMod-Arena", 4096));
        writeFile(root / "SampleMod" / "System" / "SampleMod.ini", "[SampleMod]\r\n");
        fs::create_directories(root / "SampleMod" / "Textures");

        // The download cache: several visits to servers, minutes to days apart.
        const Download downloads[] = {
            {"DM-1on1-Idoma.ut2", 72h + 40min},     {"Idoma-Tex.utx", 72h + 39min},
            {"Idoma-Sounds.uax", 72h + 39min},      {"DM-Asbestos2.ut2", 72h + 20min},
            {"CTF-Grendelkeep.ut2", 50h + 5min},    {"GrendelTex.utx", 50h + 4min},
            {"GrendelMeshes.usx", 50h + 4min},      {"ONS-Dria2.ut2", 50h + 3min},
            {"Dria-Anims.ukx", 50h + 3min},         {"UTComp-v1_7a.u", 26h},
            {"UTComp-v1_7a.int", 26h},              {"MutNoAdrenaline.u", 25h + 59min},
            {"Skaarj-Pack.utx", 25h + 58min},       {"BR-Serenity.ut2", 25h + 30min},
            {"Serenity-Music.ogg", 25h + 29min},    {"DOM-SunTemple.ut2", 8h + 15min},
            {"SunTemple-Tex.utx", 8h + 14min},      {"AS-Convoy2.ut2", 8h + 2min},
            {"ConvoyMeshes.usx", 8h + 1min},        {"ConvoyRumble.ifr", 8h + 1min},
            {"DM-Deck17.ut2", 3h + 10min},          {"DeckTex.utx", 3h + 10min},
            {"DeckSounds.uax", 3h + 9min},          {"CTF-LavaGiant2.ut2", 3h + 1min},
            {"LavaGiantTex.utx", 3h},               {"ServerNews.txt", 2h + 30min},
            {"ONS-Primeval.ut2", 55min},            {"PrimevalMeshes.usx", 54min},
            {"PrimevalTex.utx", 54min},             {"Primeval-Wind.uax", 53min},
            {"DM-Morpheus3.ut2", 12min},            {"MorpheusTex.utx", 11min},
            {"ModelPack2.ukx", 10min},              {"WeaponsPlus.u", 9min},
            {"WeaponsPlus.int", 9min},              {"DM-Rankin.ut2", 2min},
        };
        std::string index = "[Cache]\r\n";
        unsigned n = 0;
        for (const Download& d : downloads) {
            const std::string k = key(n);
            index += k + "=" + d.name + "\r\n";
            // One entry lost its file; one is stored under a numbered name.
            if (n == 13) {
                ++n;
                continue;
            }
            const fs::path file = root / "Cache" / (n == 6 ? k + "-1.uxx" : k + ".uxx");
            writeFile(file, package(d.name, 2048 + 300 * n));
            setAge(file, d.age);
            ++n;
        }
        writeFile(root / "Cache" / "Cache.ini", index);
        // A leftover file that no entry claims, for validation to find.
        writeFile(root / "Cache" / "0000DEADBEEF0000ORPHAN000000000-2.uxx", package("orphan", 1024));
        std::printf("Sample installation ready: %s\n", fs::absolute(root).string().c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_sample_install: %s\n", e.what());
        return 1;
    }
    return 0;
}
