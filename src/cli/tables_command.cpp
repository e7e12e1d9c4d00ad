#include "tables_command.h"

#include "imagelist/natural_compare.h"

#include "metadata/camera_table.h"
#include "metadata/lens_tables.h"
#include "shell/data_tables.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string_view>

namespace qlx::cli {

namespace {

constexpr std::string_view kUsage =
    "usage: qlx tables [camera|canon|nikon|pentax|olympus|olympus_ext|sony]\n";

struct TableName {
    std::string_view name;
    std::optional<metadata::LensTableId> lens; // nothing for the camera table
};

constexpr std::array<TableName, 7> kTables{{
    {"camera", std::nullopt},
    {"canon", metadata::LensTableId::Canon},
    {"nikon", metadata::LensTableId::Nikon},
    {"pentax", metadata::LensTableId::Pentax},
    {"olympus", metadata::LensTableId::Olympus},
    {"olympus_ext", metadata::LensTableId::OlympusExtender},
    {"sony", metadata::LensTableId::Sony},
}};

std::filesystem::path programFolder()
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}

std::string utf8Of(std::u16string_view text)
{
    const QByteArray bytes = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

struct ListRow {
    std::u16string maker;
    std::u16string name;
    std::string rest; // the camera table's crop and RAW columns
};

void sortRows(std::vector<ListRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const ListRow& a, const ListRow& b) {
        if (const int order = imagelist::compareNatural(a.maker, b.maker); order != 0)
            return order < 0;
        return imagelist::compareNatural(a.name, b.name) < 0;
    });
}

std::vector<ListRow> cameraRows(const metadata::CameraTable& cameras)
{
    std::vector<ListRow> rows;
    for (std::size_t row = metadata::kFirstMakerRow; row < cameras.rowCount(); ++row) {
        const metadata::CameraRecord& record = cameras.record(row);
        std::array<char, 32> crop{};
        std::snprintf(crop.data(), crop.size(), "%0.1f", static_cast<double>(record.cropFactor));
        rows.push_back({record.maker, record.model, std::string(crop.data()) + "\t" + (record.developable ? "○" : "×")});
    }
    return rows;
}

std::vector<ListRow> lensRows(const metadata::LensTables& lenses, metadata::LensTableId table)
{
    std::vector<ListRow> rows;
    for (std::size_t row = 0; row < lenses.rowCount(table); ++row) {
        const metadata::LensName& lens = lenses.lens(table, row);
        rows.push_back({lens.maker, lens.name, {}});
    }
    return rows;
}

void printTable(const TableName& table, const metadata::CameraTable& cameras, const metadata::LensTables& lenses,
                std::ostream& out)
{
    std::vector<ListRow> rows = table.lens ? lensRows(lenses, *table.lens) : cameraRows(cameras);
    sortRows(rows);
    for (const ListRow& row : rows) {
        out << utf8Of(row.maker) << '\t' << utf8Of(row.name);
        if (!row.rest.empty())
            out << '\t' << row.rest;
        out << '\n';
    }
}

} // namespace

int runTablesCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() > 1) {
        err << kUsage;
        return 2;
    }
    const auto chosen = args.empty() ? kTables.end()
                                     : std::find_if(kTables.begin(), kTables.end(),
                                                    [&](const TableName& t) { return t.name == args[0]; });
    if (!args.empty() && chosen == kTables.end()) {
        err << "qlx tables: unknown table '" << args[0] << "'\n" << kUsage;
        return 2;
    }
    const auto folder = programFolder() / "bin";
    shell::DataTables tables;
    if (shell::loadDataTables(folder, tables) != shell::TablesStatus::Loaded) {
        err << "qlx tables: cannot load the tables in " << folder.string() << "\n";
        return 1;
    }
    const metadata::CameraTable cameras(tables.camera);
    const metadata::LensTables lenses(tables.lenses);
    if (chosen != kTables.end()) {
        printTable(*chosen, cameras, lenses, out);
        return 0;
    }
    for (const TableName& table : kTables) {
        out << "== " << table.name << '\n';
        printTable(table, cameras, lenses, out);
    }
    return 0;
}

} // namespace qlx::cli
