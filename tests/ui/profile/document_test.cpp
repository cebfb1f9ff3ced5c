// The profile document without a widget: loading, editing, saving, and what
// its observers are told.

#include <QFile>
#include <QTemporaryDir>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <filesystem>
#include <map>

#include "io/ground_files.h"
#include "io/profile_files.h"
#include "tests/ground_cases.h"
#include "tests/io/scratch_folder.h"
#include "tests/profile_builders.h"
#include "ui/profile/cell_text.h"
#include "ui/profile/chain_table.h"
#include "ui/profile/edit_table_model.h"
#include "ui/profile/elements_model.h"
#include "ui/profile/profile_document.h"
#include "ui/profile/pvi_table.h"

namespace tarnvel::ui::profile {
namespace {

QString DataFile(const char* name) { return QStringLiteral(TARNVEL_IO_TEST_DATA "/") + QString::fromUtf8(name); }

// An elements model that follows the document as the window wires it, and
// the row count it has announced: what a view attached to it would show.
struct ElementsObserver {
    explicit ElementsObserver(ProfileDocument& document) {
        QObject::connect(&document, &ProfileDocument::ProfileChanged, &model,
                         [this, &document] { model.SetProfile(document.CurrentProfile()); });
        QObject::connect(&model, &QAbstractItemModel::modelReset, &model, [this] { announced = model.rowCount(); });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model,
                         [this](const QModelIndex&, int first, int last) { announced += last - first + 1; });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model,
                         [this](const QModelIndex&, int first, int last) { announced -= last - first + 1; });
        model.SetProfile(document.CurrentProfile());
    }
    ElementsModel model;
    int announced = 0;
};

// Every station and grade the model shows is the one of the document's profile now.
void ExpectElementsOf(const ElementsObserver& observer, const Profile& profile) {
    const auto& rows = profile.Elements();
    ASSERT_EQ(observer.announced, static_cast<int>(rows.size()));
    ASSERT_EQ(observer.model.rowCount(), static_cast<int>(rows.size()));
    for (int r = 0; r < observer.model.rowCount(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(observer.model.index(r, 0).data().toString(), StationText(profile.LabelOf(rows[r].pviStation)));
        EXPECT_NEAR(observer.model.index(r, 2).data().toString().toDouble(), rows[r].gradeIn, 1e-4);
        EXPECT_NEAR(observer.model.index(r, 3).data().toString().toDouble(), rows[r].gradeOut, 1e-4);
    }
}

TEST(ProfileDocument, the_elements_follow_inserted_and_deleted_points) {
    ProfileDocument document;
    ElementsObserver observer(document);
    ASSERT_EQ(document.Open(DataFile("inframodel_m3_road.xml")), QString());
    const std::shared_ptr<const Profile> loaded = document.CurrentProfile();
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->Elements().size(), 11u);
    ExpectElementsOf(observer, *loaded);

    // 插入行 above row 7, then K0+550 Tab 19.0 Enter: three commands.
    EditTableModel& pvi = document.PviModel();
    pvi.InsertEmptyRows(6, 1);
    pvi.setData(pvi.index(6, kPviStation), QStringLiteral("K0+550"));
    pvi.setData(pvi.index(6, kPviElevation), QStringLiteral("19.0"));
    ASSERT_EQ(document.TableProblem(), QString());
    ASSERT_EQ(document.CurrentProfile()->Elements().size(), 12u);
    ExpectElementsOf(observer, *document.CurrentProfile());
    // The snapshot shown before is untouched by the edit.
    EXPECT_EQ(loaded->Elements().size(), 11u);

    pvi.RemoveRowRange(2, 2);
    ExpectElementsOf(observer, *document.CurrentProfile());
    EXPECT_EQ(document.CurrentProfile()->Elements().size(), 10u);

    // Undone step by step, the table shows each profile on the way back.
    for (int step = 0; step < 4; ++step) {
        document.UndoStack().undo();
        ExpectElementsOf(observer, *document.CurrentProfile());
    }
    EXPECT_EQ(document.CurrentProfile()->Elements().size(), 11u);
    EXPECT_FALSE(document.IsModified());
}

// A file's numbers show as texts that read back to the very same doubles, so
// that neither the screen nor a save changes what the file says.
TEST(ProfileDocument, loaded_cells_read_back_to_the_files_numbers) {
    const struct {
        const char* file;
        const char* cell;  // one cell text expected in the PVI or chain table
    } cases[] = {
        {"buildingsmart_stn02_chain.xml", "K0+349.9038642476834"},
        {"buildingsmart_stn02_chain.xml", "5.000000000000044"},
        {"buildingsmart_stn02_chain.xml", "K0+876.272071272522"},
        {"inframodel_m3_road.xml", "K1+266.246171"},
        {"inframodel_m3_road.xml", "19.377"},
        {"buildingsmart_al01_overlap.xml", "K0+075.466701"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cell);
        ProfileDocument document;
        ASSERT_EQ(document.Open(DataFile(c.file)), QString());
        ASSERT_TRUE(document.TableModel());
        const ProfileModel& model = *document.TableModel();
        const PviReading pvi = ReadPviRows(document.PviModel().Rows());
        ASSERT_TRUE(pvi.marks.empty());
        ASSERT_EQ(pvi.points.size(), model.points.size());
        for (std::size_t i = 0; i < pvi.points.size(); ++i) EXPECT_EQ(pvi.points[i], model.points[i]) << i;
        const ChainReading chains = ReadChainRows(document.ChainModel().Rows());
        EXPECT_EQ(chains.breaks, model.chains);
        bool shown = false;
        for (const auto* table : {&document.PviModel(), &document.ChainModel()}) {
            for (const QStringList& row : table->Rows()) shown = shown || row.contains(QString::fromUtf8(c.cell));
        }
        EXPECT_TRUE(shown) << document.PviModel().Rows()[1].join(' ').toStdString() << " | "
                           << document.PviModel().Rows()[2].join(' ').toStdString();
    }
}

TEST(ProfileDocument, station_cells_take_the_fewest_decimals_that_read_back_exactly) {
    const struct {
        Station station;
        const char* text;
    } cases[] = {
        {{200, 0}, "K0+200.000"},
        {{77.652, 0}, "K0+077.652"},
        {{16770.5, 0}, "K16+770.500"},
        {{1266.246171, 0}, "K1+266.246171"},
        {{999.9995, 0}, "K0+999.9995"},
        {{1050, 2}, "K1+050.000(2)"},
        {{-50.25, 0}, "-K0+050.250"},
        {{1e15, 0}, "K1000000000000+000.000"},
        {{123456.123456789, 0}, "K123+456.123456789"},
        // More decimals than fixed text holds: the metres' shortest exact text.
        {{0.1 + 0.2, 0}, "K0+000.30000000000000004"},
        {{349.90386424768337, 0}, "K0+349.9038642476834"},
    };
    for (const auto& c : cases) {
        const std::string text = ExactStationText(c.station).toStdString();
        EXPECT_EQ(text, c.text);
        const std::optional<Station> back = ParseStation(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(*back, c.station) << text;
    }
}

// On open the document takes the file's numbers as its tables' first reading
// rather than reading back a million cells: that reading must be exactly what
// the rows read as, for either format, awkward doubles, repeated labels and
// every curve kind, or the first edit would move points nobody touched.
TEST(ProfileDocument, an_opened_files_model_is_what_its_tables_read) {
    using test::ByLength, test::ByRadius, test::Unsym, test::Arc, test::Point;
    ProfileModel plain;
    plain.points = {Point(0, 100.1),
                    Point(123.45678901234568, 0.1 + 0.2 + 101, ByRadius(10000.0 / 3)),
                    Point(250.00000000000003, 100.0000001, ByLength(87.65432109876543)),
                    Point(400, 102.5, Unsym(33.3, 66.70000000000002)),
                    Point(555.5, 101, Arc(9120)),
                    Point(700, 99)};
    ProfileModel chained;
    chained.points = {Point(0, 10), Point(Station{950, 1}, 12, ByRadius(2000)), Point(Station{950, 2}, 11, ByLength(40)),
                      Point(1200, 13)};
    chained.chains = {{1000, 900}};
    QTemporaryDir dir;
    for (const ProfileModel* written : {&plain, &chained}) {
        for (const auto& [format, name] : {std::pair{io::ProfileFormat::Csv, "p.csv"}, std::pair{io::ProfileFormat::LandXml, "p.xml"}}) {
            SCOPED_TRACE(std::string(name) + (written == &plain ? " plain" : " chained"));
            const QString path = dir.filePath(QString::fromLatin1(name));
            ASSERT_FALSE(io::WriteProfileFile(QFile::encodeName(path).toStdString(), *written, format));
            ProfileDocument document;
            ASSERT_EQ(document.Open(path), QString());
            ASSERT_TRUE(document.TableModel());
            ASSERT_TRUE(document.CurrentProfile());
            const PviReading pvi = ReadPviRows(document.PviModel().Rows());
            ASSERT_TRUE(pvi.marks.empty());
            EXPECT_EQ(pvi.points, document.TableModel()->points);
            EXPECT_EQ(ReadChainRows(document.ChainModel().Rows()).breaks, document.TableModel()->chains);
            EXPECT_EQ(document.TableModel()->points.size(), written->points.size());
            EXPECT_EQ(document.TableModel()->chains, written->chains);
        }
    }
}

TEST(ProfileDocument, saves_loads_and_starts_anew_without_losing_work) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProfileDocument document;
    int fileChanges = 0;
    QObject::connect(&document, &ProfileDocument::FileChanged, &document, [&] { ++fileChanges; });
    ASSERT_EQ(document.Open(DataFile("buildingsmart_stn02_chain.xml")), QString());
    EXPECT_EQ(document.SavePath(), QString()) << "a LandXML design file is never overwritten by 保存";
    const ProfileModel original = *document.TableModel();

    document.PviModel().setData(document.PviModel().index(1, kPviElevation), QStringLiteral("5.5"));
    EXPECT_TRUE(document.IsModified());

    // A failed load and a failed save leave everything as it was.
    EXPECT_NE(document.Open(dir.filePath(QStringLiteral("missing.xml"))), QString());
    EXPECT_NE(document.Save(dir.filePath(QStringLiteral("no/such/folder.csv")), io::ProfileFormat::Csv), QString());
    EXPECT_TRUE(document.IsModified());
    EXPECT_EQ(document.PviModel().Cell(1, kPviElevation), QStringLiteral("5.5"));

    const QString saved = dir.filePath(QStringLiteral("road.csv"));
    ASSERT_EQ(document.Save(saved, io::ProfileFormat::Csv), QString());
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.SavePath(), saved);
    EXPECT_GT(fileChanges, 0);

    ProfileDocument reopened;
    ASSERT_EQ(reopened.Open(saved), QString());
    ProfileModel expected = original;
    expected.points[1].elevation = 5.5;
    EXPECT_EQ(reopened.TableModel()->points, expected.points);
    EXPECT_EQ(reopened.TableModel()->chains, expected.chains);
    EXPECT_EQ(reopened.SavePath(), saved) << "a CSV file is saved back in place";

    reopened.New();
    EXPECT_EQ(reopened.CurrentProfile(), nullptr);
    EXPECT_EQ(reopened.PviModel().rowCount(), 0);
    EXPECT_EQ(reopened.ChainModel().rowCount(), 0);
    EXPECT_EQ(reopened.SourcePath(), QString());
    EXPECT_FALSE(reopened.UndoStack().canUndo());
}

// The cells of a loaded file that show one value share one text; an edit, its
// undo and a save touch only the cell edited, whichever cell that is.
TEST(ProfileDocument, shared_cell_texts_edit_undo_and_save_one_cell_at_a_time) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString source = dir.filePath(QStringLiteral("shared.csv"));
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("station,elevation,radius\n0,100,\n100,102,1500\n200,100,1500\n300,102,1500\n400,100,\n");
    }
    const struct {
        int row, column;
        QString text;
        CurveKind kind;  // of the edited point after the edit
        double radius;   // of the edited point after the edit
    } cases[] = {
        {1, kPviRadius, QStringLiteral("2000"), CurveKind::ParabolaRadius, 2000},
        {2, kPviRadius, QStringLiteral("1500.5"), CurveKind::ParabolaRadius, 1500.5},
        {3, kPviKind, KindText(CurveKind::Circular), CurveKind::Circular, 1500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row * 10 + c.column);
        ProfileDocument document;
        ASSERT_EQ(document.Open(source), QString());
        EditTableModel& table = document.PviModel();
        const std::vector<QStringList> loaded = table.Rows();
        for (int row = 1; row <= 3; ++row) {
            EXPECT_EQ(table.Cell(row, kPviRadius), QStringLiteral("1500"));
            EXPECT_EQ(table.Cell(row, kPviKind), KindText(CurveKind::ParabolaRadius));
        }
        ProfileModel expected = *document.TableModel();

        ASSERT_TRUE(table.setData(table.index(c.row, c.column), c.text));
        std::vector<QStringList> edited = loaded;
        edited[static_cast<std::size_t>(c.row)][c.column] = c.text;
        EXPECT_EQ(table.Rows(), edited);
        document.UndoStack().undo();
        EXPECT_EQ(table.Rows(), loaded);
        document.UndoStack().redo();
        EXPECT_EQ(table.Rows(), edited);

        const QString saved = dir.filePath(QStringLiteral("saved.csv"));
        ASSERT_EQ(document.Save(saved, io::ProfileFormat::Csv), QString());
        ProfileDocument reopened;
        ASSERT_EQ(reopened.Open(saved), QString());
        expected.points[static_cast<std::size_t>(c.row)].curve.kind = c.kind;
        expected.points[static_cast<std::size_t>(c.row)].curve.radius = c.radius;
        EXPECT_EQ(reopened.TableModel()->points, expected.points);
    }
}

ProfileModel Model(std::vector<ProfilePoint> points, std::vector<ChainBreak> chains = {}) {
    ProfileModel model;
    model.points = std::move(points);
    model.chains = std::move(chains);
    return model;
}

TEST(ProfileDocument, end_labels_read_back_onto_the_profile) {
    using tarnvel::test::Point;
    using tarnvel::test::Resolved;
    const struct {
        const char* name;
        ProfileModel model;
        const char* start;
        const char* end;
    } cases[] = {
        {"end with micrometres", Model({Point(0, 100), Point(1266.246171, 101)}), "K0+000.000", "K1+266.246"},
        {"end beyond six decimals", Model({Point(0.0000004, 100), Point(779.2229287274, 101)}), "K0+000.001",
         "K0+779.222"},
        {"behind a long chain", Model({Point(0, 100), Point(5779.2229287274, 101)}, {{876.272071272522, 5350}}),
         "K0+000.000", "K5+779.222"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Profile profile = Resolved(c.model);
        EXPECT_EQ(EndLabelText(profile, ProfileEnd::Start), QString::fromUtf8(c.start));
        EXPECT_EQ(EndLabelText(profile, ProfileEnd::End), QString::fromUtf8(c.end));
        for (ProfileEnd end : {ProfileEnd::Start, ProfileEnd::End}) {
            const auto label = ParseCellStation(EndLabelText(profile, end), nullptr);
            ASSERT_TRUE(label);
            EXPECT_NO_THROW(profile.AtLabel(*label));
        }
    }
}

QString WriteText(const QTemporaryDir& dir, const char* name, const char* text) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

// Design: K0+000 at 100 rising 2 % to the curve at K0+170. Ground at 101
// from K0+000 to K0+200.
TEST(ProfileDocument, imports_ground_refuses_what_does_not_fit_and_keeps_it_over_edits) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProfileDocument document;
    document.PviModel().ReplaceAll({{"K0+000", "100", "", "", "", "", ""},
                                    {"K0+200", "104", "", "2000", "", "", ""},
                                    {"K0+500", "101", "", "", "", "", ""}});
    ASSERT_TRUE(document.CurrentProfile());
    const QString good = WriteText(dir, "ground.csv", "桩号,地面高程\r\nK0+000,101\r\nK0+200,101\r\n");
    std::string repeated = "桩号,地面高程\n";
    for (int i = 0; i < 300; ++i) repeated += "K0+000,101\n";
    const struct {
        const char* name;
        std::string text;
        const char* says;
    } refused[] = {
        {"a cell that does not read", "桩号,地面高程\nK0+000,101\nK0+0x0,101\n", "无法识别"},
        {"beyond the profile's end", "桩号,地面高程\nK0+000,101\nK0+900,101\n", "地面线"},
        {"one point", "桩号,地面高程\nK0+000,101\n", "地面线"},
        // The first hundred problems, and how many more.
        {"three hundred rows of one station", repeated, "另有 199 处问题未列出。"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        const QString message = document.ImportGround(WriteText(dir, "bad.csv", c.text.c_str()));
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.says))) << message.toStdString();
        EXPECT_LE(message.count(QLatin1Char('\n')), 101);
        EXPECT_FALSE(document.Ground());
        EXPECT_FALSE(document.CurrentGround());
    }
    EXPECT_NE(document.ImportGround(dir.filePath(QStringLiteral("missing.csv"))), QString());
    EXPECT_FALSE(document.Ground());

    int published = 0;
    QObject::connect(&document, &ProfileDocument::ProfileChanged, &document, [&] { ++published; });
    ASSERT_EQ(document.ImportGround(good), QString());
    EXPECT_EQ(published, 1);
    std::shared_ptr<const GroundLine> ground = document.CurrentGround();
    ASSERT_TRUE(ground);
    const struct {
        double internal;
        double fillCut;  // design - ground
    } at[] = {{0, -1}, {50, 0}, {100, 1}};
    for (const auto& a : at) {
        SCOPED_TRACE(a.internal);
        const auto fill = FillCutAt(*document.CurrentProfile(), *ground, a.internal);
        ASSERT_TRUE(fill);
        EXPECT_NEAR(*fill, a.fillCut, 1e-9);
    }
    // A failed import leaves the loaded ground as it was.
    EXPECT_NE(document.ImportGround(WriteText(dir, "bad.csv", "x")), QString());
    EXPECT_EQ(document.CurrentGround(), ground);

    // An edit that shortens the profile under the ground keeps the ground
    // and says why it is not shown; undoing brings it back.
    document.PviModel().ReplaceAll({{"K0+000", "100", "", "", "", "", ""}, {"K0+150", "103", "", "", "", "", ""}});
    ASSERT_TRUE(document.CurrentProfile());
    EXPECT_TRUE(document.Ground());
    EXPECT_FALSE(document.CurrentGround());
    EXPECT_FALSE(document.GroundStatus().isEmpty());
    document.PviModel().ReplaceAll({{"K0+000", "100", "", "", "", "", ""}, {"K0+300", "106", "", "", "", "", ""}});
    ASSERT_TRUE(document.CurrentGround());
    EXPECT_TRUE(document.GroundStatus().isEmpty());

    // A new document has no ground.
    document.New();
    EXPECT_FALSE(document.Ground());
    EXPECT_FALSE(document.CurrentGround());
}


// What "保存" does to the ground table beside a CSV profile: it removes only
// the one this document read and whose ground the user then cleared; it
// writes the profile and its table both or neither, through links.
TEST(ProfileDocument, save_removes_only_the_ground_table_it_read_and_writes_both_or_neither) {
    const test::GroundCase sag = test::GroundCases().front();
    const std::string design = io::ProfileCsvBytes(sag.design);
    const std::string ground = io::GroundCsvBytes(sag.ground, LengthUnit::Metre);
    const std::string stranger = "桩号,地面高程\r\n0,1\r\n1,2\r\n";  // a table this document never read
    const std::string old = "旧的纵断面\r\n";
    const std::string xml = io::LandXmlBytes(sag.design);
    const struct {
        const char* name;
        std::map<std::string, std::string> before;  // "-> x" for a link, "/" for a folder
        const char* open;  // relative to the folder, "./" and "sub/../" spellings allowed
        bool clearGround;
        const char* save;
        io::ProfileFormat format;
        bool fails;
        // "<ground>", "<profile>": the document's ground and profile as written
        std::map<std::string, std::string> after;
    } cases[] = {
        {"read then cleared: removed", {{"road.csv", design}, {"road-地面线.csv", ground}}, "road.csv", true,
         "./road.csv", io::ProfileFormat::Csv, false, {{"road.csv", design}}},
        {"beside a LandXML file: kept",
         {{"road.xml", xml}, {"road-地面线.csv", stranger}}, "road.xml", false, "road.csv", io::ProfileFormat::Csv,
         false, {{"road.xml", xml}, {"road.csv", "<profile>"}, {"road-地面线.csv", stranger}}},
        {"one that did not load, opened by another spelling: kept",
         {{"road.csv", design}, {"road-地面线.csv", "这不是地面线"}, {"sub", "/"}}, "sub/../road.csv", false,
         "road.csv", io::ProfileFormat::Csv, false,
         {{"road.csv", design}, {"road-地面线.csv", "这不是地面线"}, {"sub", "/"}}},
        {"a stranger beside the new name: kept",
         {{"road.csv", design}, {"other-地面线.csv", stranger}}, "road.csv", false, "other.csv",
         io::ProfileFormat::Csv, false,
         {{"road.csv", design}, {"other.csv", design}, {"other-地面线.csv", stranger}}},
        {"the table's name taken by a folder: nothing written",
         {{"road.csv", design}, {"road-地面线.csv", ground}, {"other.csv", old}, {"other-地面线.csv", "/"}},
         "road.csv", false, "other.csv", io::ProfileFormat::Csv, true,
         {{"road.csv", design}, {"road-地面线.csv", ground}, {"other.csv", old}, {"other-地面线.csv", "/"}}},
        {"the profile's name taken by a folder: the table stays",
         {{"road.csv", design}, {"road-地面线.csv", ground}, {"other.csv", "/"}, {"other-地面线.csv", old}},
         "road.csv", false, "other.csv", io::ProfileFormat::Csv, true,
         {{"road.csv", design}, {"road-地面线.csv", ground}, {"other.csv", "/"}, {"other-地面线.csv", old}}},
        {"a linked table is written through its link",
         {{"road.csv", design}, {"road-地面线.csv", "-> survey.csv"}, {"survey.csv", ground}}, "road.csv", false,
         "road.csv", io::ProfileFormat::Csv, false,
         {{"road.csv", design}, {"road-地面线.csv", "-> survey.csv"}, {"survey.csv", "<ground>"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const std::string folder = dir.path().toStdString() + "/";
        for (const auto& [name, bytes] : c.before) {
            if (bytes == "/") std::filesystem::create_directory(folder + name);
            else if (bytes.starts_with("-> ")) std::filesystem::create_symlink(bytes.substr(3), folder + name);
            else io::testing::WriteBytes(folder + name, bytes);
        }
        ProfileDocument document;
        ASSERT_EQ(document.Open(QString::fromStdString(folder + c.open)), QString());
        if (c.clearGround) document.ClearGround();
        const QString failure = document.Save(QString::fromStdString(folder + c.save), c.format);
        EXPECT_EQ(!failure.isEmpty(), c.fails) << failure.toStdString();

        std::map<std::string, std::string> after;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_symlink()) after[name] = "-> " + std::filesystem::read_symlink(entry.path()).string();
            else if (entry.is_directory()) after[name] = "/";
            else after[name] = io::testing::ReadBytes(entry.path().string());
        }
        std::map<std::string, std::string> expected = c.after;
        for (auto& [name, bytes] : expected)
            if (bytes == "<ground>") bytes = io::GroundCsvBytes(*document.Ground(), LengthUnit::Metre);
            else if (bytes == "<profile>") bytes = io::ProfileCsvBytes(*document.TableModel());
        EXPECT_EQ(after, expected);
    }
}

}  // namespace
}  // namespace tarnvel::ui::profile
