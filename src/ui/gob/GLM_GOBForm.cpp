#include "ui/gob/GLM_GOBForm.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QThread>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "core/GLM_FileNames.h"
#include "core/GLM_Thumbnails.h"
#include "core/documents/GLM_ContainerStep.h"
#include "core/documents/GLM_ImageDocument.h"
#include "formats/LEC_CMP.h"
#include "formats/LEC_FileIO.h"
#include "platform/GLM_Platform.h"
#include "ui/kit/GLM_ModalForm.h"
#include "ui/kit/GLM_ProgressForm.h"

namespace {

// The icon view shows the last column: the name without its folders.
constexpr int NameColumn = 0, KindColumn = 1, SizeColumn = 2, LeafColumn = 3;
// Thumbnails of members larger than this are not made: reading them would hold the worker
// up for the members after them.
constexpr int64_t MaxThumbnailSource = 64 * 1024 * 1024;

QString Q(const std::string &text)
{
    return QString::fromStdString(text);
}

// The folder part of a stored name ("mat\sub\a.mat": "mat\sub"), as stored.
std::string FolderOf(const std::string &stored)
{
    const size_t slash = stored.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : stored.substr(0, slash);
}

std::string LeafOf(const std::string &stored)
{
    const size_t slash = stored.find_last_of("\\/");
    return slash == std::string::npos ? stored : stored.substr(slash + 1);
}

std::string KindText(const TGOBMember &m)
{
    if (!m.Problem.empty())
        return "Bad: " + m.Problem;
    const std::string ext = LowerFileExt(m.Name);
    std::string kind = ext.size() > 1 ? ext.substr(1) : "file";
    std::transform(kind.begin(), kind.end(), kind.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return kind;
}

// The bytes of a member as they are now, read on a worker from a copy of its place, so
// that the container's later edits cannot reach the worker.
TThumbnailMaker::TRead MemberReader(const TGOBMember &m, const std::string &container)
{
    if (m.Data)
        return [data = m.Data] { return *data; };
    const std::string file = m.File.empty() ? container : m.File;
    const uint64_t offset = static_cast<uint64_t>(m.File.empty() ? m.Offset : 0);
    const size_t size = static_cast<size_t>(m.Size);
    return [file, offset, size] {
        std::vector<uint8_t> bytes(size);
        std::FILE *f = OpenForReading(file);
        try {
            ReadAt(f, offset, bytes.data(), size);
        } catch (...) {
            std::fclose(f);
            throw;
        }
        std::fclose(f);
        return bytes;
    };
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The list's model and its filter

class TGOBModel : public QAbstractTableModel
{
public:
    explicit TGOBModel(TGOBForm &form) : QAbstractTableModel(&form), FForm(form) {}

    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    void RowChanged(size_t row)
    {
        emit dataChanged(index(static_cast<int>(row), 0), index(static_cast<int>(row), LeafColumn));
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(FForm.FGOB.Members().size());
    }
    int columnCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 4; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == NameColumn ? "Name" : section == KindColumn ? "Kind" : "Size";
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        const bool named = index.column() == NameColumn || index.column() == LeafColumn;
        return named ? flags | Qt::ItemIsEditable : flags;
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const auto row = static_cast<size_t>(index.row());
        if (!index.isValid() || row >= FForm.FGOB.Members().size())
            return {};
        const TGOBMember &m = FForm.FGOB.Members()[row];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (index.column() == NameColumn)
                return Q(GOBShownName(m.Name));
            if (index.column() == KindColumn)
                return Q(KindText(m));
            if (index.column() == LeafColumn)
                return Q(LeafOf(m.Name));
            return QLocale().toString(static_cast<qlonglong>(m.Size));
        case Qt::UserRole: // what the columns sort by
            if (index.column() == SizeColumn)
                return static_cast<qlonglong>(m.Size);
            return data(index, Qt::DisplayRole).toString().toLower();
        case Qt::TextAlignmentRole:
            return index.column() == SizeColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                : QVariant();
        case Qt::ToolTipRole: {
            const std::string why = !m.Problem.empty() ? m.Problem : GOBUnfindableReason(m.Name);
            return why.empty() ? QVariant() : Q(why);
        }
        case Qt::ForegroundRole:
            if (!m.Problem.empty())
                return QColor(Qt::red);
            if (!GOBUnfindableReason(m.Name).empty())
                return QColor(Qt::darkYellow);
            return {};
        case Qt::DecorationRole:
            return index.column() == NameColumn || index.column() == LeafColumn ? Decoration(row)
                                                                                : QVariant();
        case Qt::SizeHintRole:
            // Every thumbnail's place is its grid cell, whatever picture it shows now: the
            // view takes one size for all items, from the first, and a picture not made yet
            // would leave no room for the names.
            return index.column() == LeafColumn ? QVariant(FForm.IconView->gridSize())
                                                : QVariant();
        default:
            return {};
        }
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        const auto row = static_cast<size_t>(index.row());
        std::string name = value.toString().toStdString();
        if (role != Qt::EditRole || row >= FForm.FGOB.Members().size())
            return false;
        if (index.column() == LeafColumn) { // the name within its folder
            const std::string folder = FolderOf(FForm.FGOB.Members()[row].Name);
            name = folder.empty() ? name : folder + "\\" + name;
        } else if (index.column() != NameColumn) {
            return false;
        }
        return FForm.RenameTo(row, name);
    }

private:
    QVariant Decoration(size_t row) const
    {
        const auto made = FForm.FThumbnails.find(FForm.FIds[row]);
        if (made == FForm.FThumbnails.end()) {
            // Asked for here, where the view paints: only the members in view are made.
            FForm.RequestThumbnail(row);
            return FForm.FBlank;
        }
        if (made->second.isNull())
            return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
        return made->second;
    }

    TGOBForm &FForm;
};

class TGOBFilter : public QSortFilterProxyModel
{
public:
    TGOBFilter(const TGOB &gob, QObject *parent) : QSortFilterProxyModel(parent), FGOB(gob) {}

    // Stored form ("mat\sub"); "" for every member.
    std::string Folder;
    QString Text;

    void Update() { invalidateFilter(); }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &) const override
    {
        const auto &members = FGOB.Members();
        if (row < 0 || static_cast<size_t>(row) >= members.size())
            return false;
        const std::string &name = members[static_cast<size_t>(row)].Name;
        if (!Folder.empty()) {
            const std::string key = GOBNameKey(name), folder = GOBNameKey(Folder) + "\\";
            if (key.compare(0, folder.size(), folder) != 0)
                return false;
        }
        return Text.isEmpty() || Q(GOBShownName(name)).contains(Text, Qt::CaseInsensitive);
    }

private:
    const TGOB &FGOB;
};

// ---------------------------------------------------------------------------------------------
// Creation

TGOBForm::TGOBForm(TWindowContext &context, QWidget *parent)
    : TDocumentWindowOf<TGOBForm>(context, parent)
{
    setObjectName("GOBForm");
    FModel = new TGOBModel(*this);
    FFilter = new TGOBFilter(FGOB, this);
    FFilter->setSourceModel(FModel);
    FFilter->setSortRole(Qt::UserRole);
    FMaker = std::make_unique<TThumbnailMaker>(
        this, [this](int id, const QImage &picture) { ThumbnailMade(id, picture); },
        std::max(1, QThread::idealThreadCount() - 1));

    FolderTree = new QTreeWidget;
    FolderTree->setObjectName("FolderTree");
    FolderTree->setHeaderHidden(true);
    connect(FolderTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        FFilter->Folder = item ? item->data(0, Qt::UserRole).toString().toStdString() : "";
        FFilter->Update();
        UpdateMainWindow();
    });

    FilterEdit = new QLineEdit;
    FilterEdit->setObjectName("FilterEdit");
    FilterEdit->setPlaceholderText("Filter");
    FilterEdit->setClearButtonEnabled(true);
    connect(FilterEdit, &QLineEdit::textChanged, this, [this](const QString &text) {
        FFilter->Text = text;
        FFilter->Update();
        UpdateMainWindow();
    });
    ColormapBox = new QComboBox;
    ColormapBox->setObjectName("ColormapBox");
    ColormapBox->setToolTip("The colormap the thumbnails are drawn through");
    ColormapBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(ColormapBox, &QComboBox::activated, this, &TGOBForm::ColormapChosen);
    ViewBox = new QComboBox;
    ViewBox->setObjectName("ViewBox");
    ViewBox->addItems({"Thumbnails", "Details"});
    connect(ViewBox, &QComboBox::activated, this, [this](int item) { ShowIcons(item == 0); });

    DetailsView = new QTreeView;
    DetailsView->setObjectName("DetailsView");
    DetailsView->setRootIsDecorated(false);
    DetailsView->setUniformRowHeights(true);
    DetailsView->setSortingEnabled(true);
    DetailsView->sortByColumn(-1, Qt::AscendingOrder); // the container's own order at first
    DetailsView->setIconSize(QSize(16, 16));
    DetailsView->setModel(FFilter);
    DetailsView->header()->setStretchLastSection(false);
    DetailsView->header()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    IconView = new QListView;
    IconView->setObjectName("IconView");
    IconView->setViewMode(QListView::IconMode);
    IconView->setResizeMode(QListView::Adjust);
    IconView->setMovement(QListView::Static);
    IconView->setUniformItemSizes(true);
    IconView->setWordWrap(false);
    IconView->setModel(FFilter);
    IconView->setModelColumn(LeafColumn);
    DetailsView->hideColumn(LeafColumn);
    IconView->setSelectionModel(DetailsView->selectionModel());
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(DetailsView),
                                    static_cast<QAbstractItemView *>(IconView)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::EditKeyPressed);
        view->setContextMenuPolicy(Qt::NoContextMenu); // the window's popup menu
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
        connect(view, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
            try {
                OpenMemberAt(static_cast<size_t>(FFilter->mapToSource(index).row()));
            } catch (const std::exception &e) {
                Messages().Error(e.what(), {}, this);
            }
        });
    }
    connect(DetailsView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateMainWindow(); });
    auto *deleteKey = new QAction(this);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(deleteKey, &QAction::triggered, this, [this] {
        try {
            DeleteMembers();
        } catch (const std::exception &e) {
            Messages().Error(e.what(), {}, this);
        }
    });
    addAction(deleteKey);

    FViews = new QStackedWidget;
    FViews->addWidget(IconView);
    FViews->addWidget(DetailsView);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(FilterEdit, 1);
    auto *colormapLabel = new QLabel("&Colormap:");
    colormapLabel->setBuddy(ColormapBox);
    bar->addWidget(colormapLabel);
    bar->addWidget(ColormapBox);
    bar->addWidget(ViewBox);
    auto *right = new QWidget;
    auto *column = new QVBoxLayout(right);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(bar);
    column->addWidget(FViews, 1);
    auto *splitter = new QSplitter;
    splitter->addWidget(FolderTree);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({150, 450});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(splitter);
    ShowIcons(true);
}

// The maker goes with the members, before the widgets: it waits for the picture being made,
// and drops those on their way, as the receiver is going.
TGOBForm::~TGOBForm() = default;

// ---------------------------------------------------------------------------------------------
// The document

void TGOBForm::NewDocument()
{
    FGOB = TGOB();
    FIds.clear();
    MembersChanged();
}

void TGOBForm::ReadDocument(const TDocumentSource &source)
{
    if (source.Bytes)
        throw EInOutError(EInOutError::Other, "A container inside a container cannot be opened");
    TGOB loaded;
    loaded.LoadFromFile(source.Path);
    FGOB = std::move(loaded);
    FIds.clear();
    DropThumbnails();
    MembersChanged();
}

void TGOBForm::WriteDocument(const std::string &path) const
{
    FGOB.WriteToFile(path);
}

std::vector<uint8_t> TGOBForm::DocumentBytes() const
{
    throw EInOutError(EInOutError::Other, "A container cannot be stored in a container");
}

std::string TGOBForm::BackupExtension() const
{
    // A level's .goo keeps a .~goo, as each kind's backup is its own extension's.
    const std::string ext = LowerFileExt(FilePath);
    return ext == ".goo" ? ".~goo" : Description.BackupExtension;
}

void TGOBForm::Written(const std::string &path)
{
    FGOB.Saved(path);
    MembersChanged();
}

void TGOBForm::ShowFrame()
{
    // The file's name is known only once the whole file has been read.
    if (QTreeWidgetItem *root = FolderTree->topLevelItem(0))
        root->setText(0, Q(FileName));
    if (!FSized) {
        FSized = true;
        if (QWidget *sub = parentWidget())
            sub->resize(640, 440);
    }
}

bool TGOBForm::CloseDependents()
{
    for (auto &[id, window] : FMemberWindows) {
        if (!window || window->IsClosed())
            continue;
        QWidget *frame = window->parentWidget();
        (frame ? frame : window.data())->close();
        if (window && !window->IsClosed())
            return false;
    }
    return true;
}

void TGOBForm::BeforeWrite()
{
    // The members the undo steps hold apart still point into the file about to be replaced.
    for (int i = 0; i < UndoStack()->count(); ++i)
        if (auto *step = dynamic_cast<const TContainerStep *>(UndoStack()->command(i)))
            step->HoldBytes();
}

void TGOBForm::ShowStepView(const TStepView &)
{
    DropThumbnails();
    MembersChanged();
}

void TGOBForm::MembersChanged()
{
    const size_t count = FGOB.Members().size();
    while (FIds.size() < count)
        FIds.push_back(FNextId++);
    FIds.resize(count);
    FIndexOfId.clear();
    for (size_t i = 0; i < count; ++i)
        FIndexOfId[FIds[i]] = i;
    for (auto it = FMemberWindows.begin(); it != FMemberWindows.end();) {
        const int index = IndexOfId(it->first);
        if (!it->second || index < 0) {
            it = FMemberWindows.erase(it);
            continue;
        }
        if (!it->second->IsClosed() && it->second->IsMember())
            it->second->RenameMember(MemberPath(static_cast<size_t>(index)),
                                     MemberCaption(static_cast<size_t>(index)));
        ++it;
    }
    FModel->Reset();
    RebuildFolders();
    RebuildColormaps();
    UpdateMainWindow();
}

int TGOBForm::IndexOfId(int id) const
{
    const auto found = FIndexOfId.find(id);
    return found == FIndexOfId.end() ? -1 : static_cast<int>(found->second);
}

std::string TGOBForm::MemberCaption(size_t index) const
{
    return ExtractFileName(FileName) + "::" + GOBShownName(FGOB.Members().at(index).Name);
}

std::string TGOBForm::MemberPath(size_t index) const
{
    return (FilePath.empty() ? FileName : FilePath) +
           "::" + GOBShownName(FGOB.Members().at(index).Name);
}

std::vector<std::string> TGOBForm::MemberPaths(TDocumentKind kind) const
{
    std::vector<std::string> paths;
    for (size_t i = 0; i < FGOB.Members().size(); ++i) {
        const TGOBMember &m = FGOB.Members()[i];
        if (m.Problem.empty() && DocumentKindOf(m.Name) == kind)
            paths.push_back(MemberPath(i));
    }
    return paths;
}

// ---------------------------------------------------------------------------------------------
// The tree, the views and the selection

void TGOBForm::RebuildFolders()
{
    const std::string current =
        FolderTree->currentItem()
            ? FolderTree->currentItem()->data(0, Qt::UserRole).toString().toStdString()
            : "";
    const QSignalBlocker quiet(FolderTree);
    FolderTree->clear();
    auto *root = new QTreeWidgetItem(FolderTree, {Q(FileName)});
    root->setData(0, Qt::UserRole, QString());
    std::map<std::string, QTreeWidgetItem *> items{{"", root}};
    QTreeWidgetItem *select = root;
    for (const TGOBMember &m : FGOB.Members()) {
        std::string folder = FolderOf(m.Name);
        // Each folder on the way down, by the key the game compares.
        std::vector<std::string> missing;
        while (!folder.empty() && !items.count(GOBNameKey(folder))) {
            missing.push_back(folder);
            folder = FolderOf(folder);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            QTreeWidgetItem *parent = items[GOBNameKey(FolderOf(*it))];
            auto *item = new QTreeWidgetItem(parent, {Q(LeafOf(*it))});
            item->setData(0, Qt::UserRole, Q(*it));
            items[GOBNameKey(*it)] = item;
            if (GOBNameKey(*it) == GOBNameKey(current))
                select = item;
        }
    }
    FolderTree->sortItems(0, Qt::AscendingOrder);
    root->setExpanded(true);
    FolderTree->setCurrentItem(select);
    FFilter->Folder = select->data(0, Qt::UserRole).toString().toStdString();
    FFilter->Update();
}

void TGOBForm::ShowFolder(const std::string &folder)
{
    const std::string key = GOBNameKey(folder);
    for (QTreeWidgetItemIterator it(FolderTree); *it; ++it)
        if (GOBNameKey((*it)->data(0, Qt::UserRole).toString().toStdString()) == key)
            FolderTree->setCurrentItem(*it);
}

void TGOBForm::ShowIcons(bool icons)
{
    const int side = ThumbnailSide(FZoom);
    IconView->setIconSize(QSize(side, side));
    IconView->setGridSize(QSize(std::max(side + 16, 72), side + 2 * fontMetrics().height()));
    FBlank = QImage(side, side, QImage::Format_ARGB32);
    FBlank.fill(Qt::transparent);
    FViews->setCurrentWidget(icons ? static_cast<QWidget *>(IconView) : DetailsView);
    ViewBox->setCurrentIndex(icons ? 0 : 1);
}

QModelIndex TGOBForm::ListIndex(size_t member) const
{
    return FFilter->mapFromSource(FModel->index(static_cast<int>(member), NameColumn));
}

std::vector<size_t> TGOBForm::SelectedMembers() const
{
    std::vector<size_t> rows;
    for (const QModelIndex &index : DetailsView->selectionModel()->selectedRows(NameColumn))
        rows.push_back(static_cast<size_t>(FFilter->mapToSource(index).row()));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TGOBForm::SelectMembers(const std::vector<std::string> &names)
{
    QItemSelection selection;
    for (const std::string &name : names) {
        const int index = FGOB.Find(name);
        const QModelIndex at = index < 0 ? QModelIndex() : ListIndex(static_cast<size_t>(index));
        if (at.isValid())
            selection.select(at, at.siblingAtColumn(LeafColumn));
    }
    DetailsView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty())
        DetailsView->selectionModel()->setCurrentIndex(selection.indexes().front(),
                                                       QItemSelectionModel::NoUpdate);
}

TDocumentFacts TGOBForm::Facts() const
{
    TDocumentFacts facts;
    facts.Frames = static_cast<int>(FGOB.Members().size());
    facts.Zoom = FZoom;
    facts.Selected = static_cast<int>(DetailsView->selectionModel()->selectedRows().size());
    return facts;
}

TStatusTexts TGOBForm::StatusTexts() const
{
    TStatusTexts texts;
    texts[0] = LowerFileExt(FilePath) == ".goo" ? "GOO" : "GOB";
    texts[1] = std::to_string(FGOB.Members().size()) + " Members";
    texts[2] = "Shown: " + std::to_string(FFilter->rowCount());
    texts[3] = "Selected: " + std::to_string(Facts().Selected);
    const auto bad = std::count_if(FGOB.Members().begin(), FGOB.Members().end(),
                                   [](const TGOBMember &m) { return !m.Problem.empty(); });
    if (bad > 0)
        texts[4] = "Bad: " + std::to_string(bad);
    texts[5] = FColormapName;
    return texts;
}

// ---------------------------------------------------------------------------------------------
// Thumbnails

void TGOBForm::RebuildColormaps()
{
    const QString chosen = ColormapBox->currentData().toString();
    const QSignalBlocker quiet(ColormapBox);
    ColormapBox->clear();
    ColormapBox->addItem("Display palette", QString());
    for (const TGOBMember &m : FGOB.Members())
        if (m.Problem.empty() && FileKindOf(m.Name) == TFileKind::CMP)
            ColormapBox->addItem(Q(GOBShownName(m.Name)), Q(m.Name));
    const int item = std::max(0, ColormapBox->findData(chosen));
    ColormapBox->setCurrentIndex(item);
    if (FColormapName.empty() || item == 0)
        ColormapChosen(item);
}

void TGOBForm::ColormapChosen(int item)
{
    const std::string member = ColormapBox->itemData(item).toString().toStdString();
    const int index = member.empty() ? -1 : FGOB.Find(member);
    TPalette palette{};
    std::string name;
    if (index >= 0) {
        try {
            TCMP cmp;
            cmp.LoadFromBytes(FGOB.ReadMember(static_cast<size_t>(index)));
            palette = cmp.Palette;
            name = LeafOf(member);
        } catch (const std::exception &e) {
            Messages().Error(e.what(), {}, this);
        }
    }
    if (name.empty()) {
        const TDisplayPalette display =
            ResolveDisplayPalette(Settings().*Description.PalettePath, Description.BuiltInPalette);
        palette = display.Palette;
        name = ExtractFileName(display.Name);
        ColormapBox->setCurrentIndex(0);
    }
    if (palette != FPalette || name != FColormapName) {
        FPalette = palette;
        FColormapName = name;
        DropThumbnails();
    }
    UpdateMainWindow();
}

void TGOBForm::RequestThumbnail(size_t index)
{
    const int id = FIds[index];
    if (FRequested[id])
        return;
    FRequested[id] = true;
    const TGOBMember &m = FGOB.Members()[index];
    if (!m.Problem.empty() || m.Size > MaxThumbnailSource ||
        FileKindOf(m.Name) == TFileKind::Unknown) {
        FThumbnails[id] = QImage();
        return;
    }
    FMaker->Request(id, m.Name, MemberReader(m, FGOB.FileName()), FPalette, ThumbnailSide(FZoom));
}

void TGOBForm::ThumbnailMade(int id, const QImage &picture)
{
    FThumbnails[id] = picture;
    const int index = IndexOfId(id);
    if (index >= 0)
        FModel->RowChanged(static_cast<size_t>(index));
}

QImage TGOBForm::Thumbnail(size_t index) const
{
    const auto made = FThumbnails.find(FIds.at(index));
    return made == FThumbnails.end() ? QImage() : made->second;
}

void TGOBForm::DropThumbnails()
{
    FMaker->Clear();
    FThumbnails.clear();
    FRequested.clear();
    if (FModel->rowCount({}) > 0)
        emit FModel->dataChanged(FModel->index(0, 0),
                                 FModel->index(FModel->rowCount({}) - 1, LeafColumn));
}

void TGOBForm::ZoomIn()
{
    if (FZoom >= MaxZoom)
        return;
    ++FZoom;
    DropThumbnails();
    ShowIcons(FViews->currentWidget() == IconView);
    UpdateMainWindow();
}

void TGOBForm::ZoomOut()
{
    if (FZoom <= 1)
        return;
    --FZoom;
    DropThumbnails();
    ShowIcons(FViews->currentWidget() == IconView);
    UpdateMainWindow();
}

void TGOBForm::SelectPalette()
{
    ColormapBox->setFocus();
    ColormapBox->showPopup();
}

void TGOBForm::EditProperties()
{
    int64_t bytes = 0;
    int bad = 0, unfindable = 0;
    for (const TGOBMember &m : FGOB.Members()) {
        bytes += std::max<int64_t>(m.Size, 0);
        bad += m.Problem.empty() ? 0 : 1;
        unfindable += GOBUnfindableReason(m.Name).empty() ? 0 : 1;
    }
    std::string text = FileName + "\n" + std::to_string(FGOB.Members().size()) + " members, " +
                       std::to_string(bytes) + " bytes";
    if (bad > 0)
        text += "\n" + std::to_string(bad) + " cannot be opened or extracted";
    if (unfindable > 0)
        text += "\n" + std::to_string(unfindable) + " have names the game cannot find";
    Messages().Information(text, {}, this);
}

// ---------------------------------------------------------------------------------------------
// Members in their own windows

void TGOBForm::OpenMember()
{
    const std::vector<size_t> selected = SelectedMembers();
    if (selected.size() == 1)
        OpenMemberAt(selected.front());
}

void TGOBForm::OpenMemberNamed(const std::string &name)
{
    const int index = FGOB.Find(name);
    if (index < 0)
        throw EInOutError(EInOutError::Other, "No member named '" + name + "'");
    OpenMemberAt(static_cast<size_t>(index));
}

void TGOBForm::OpenMemberAt(size_t index)
{
    const TGOBMember &m = FGOB.Members().at(index);
    const int id = FIds[index];
    if (TDocumentWindow *open = FMemberWindows[id]; open && !open->IsClosed()) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(open->parentWidget()))
            sub->mdiArea()->setActiveSubWindow(sub);
        return;
    }
    const std::optional<TDocumentKind> kind = DocumentKindOf(m.Name);
    if (!kind || *kind == TDocumentKind::GOB)
        throw EInOutError(EInOutError::Other, GOBShownName(m.Name) +
                                                  " is no BM, CMP, MAT or SFT file; extract it "
                                                  "to open it elsewhere");
    std::vector<uint8_t> bytes = FGOB.ReadMember(index); // raises a bad member's problem
    TDocumentWindow *window = MakeWindow(*kind);
    if (!window)
        return;
    QPointer<TGOBForm> self(this);
    try {
        window->LoadMember(MemberPath(index), MemberCaption(index), std::move(bytes),
                           [self, id](std::vector<uint8_t> stored) {
                               if (!self)
                                   throw EInOutError(EInOutError::Other,
                                                     "The member's container is closed");
                               self->StoreMember(id, std::move(stored));
                           });
    } catch (...) {
        // No half-made window stays behind.
        QWidget *frame = window->parentWidget();
        (frame ? frame : window)->close();
        throw;
    }
    FMemberWindows[id] = window;
    // Its light view starts from the colormap this container draws through (as saved).
    const std::string colormap = ColormapBox->currentData().toString().toStdString();
    if (const int cmp = colormap.empty() || FilePath.empty() ? -1 : FGOB.Find(colormap); cmp >= 0)
        window->UseColormap(MemberPath(static_cast<size_t>(cmp)));
    emit AddToReopenListRequested(MemberPath(index));
}

void TGOBForm::StoreMember(int id, std::vector<uint8_t> bytes)
{
    const int index = IndexOfId(id);
    if (index < 0)
        throw EInOutError(EInOutError::Other, "The member is no longer in its container");
    auto step = std::make_unique<TContainerStep>("Save Member", FGOB, FIds);
    step->Replace(static_cast<size_t>(index), std::move(bytes));
    FThumbnails.erase(id);
    FRequested.erase(id);
    PushStep(std::move(step), {});
    FModel->RowChanged(static_cast<size_t>(index));
    UpdateMainWindow();
}

// ---------------------------------------------------------------------------------------------
// Container commands

void TGOBForm::ExtractMembers()
{
    std::vector<size_t> targets = SelectedMembers();
    if (targets.empty())
        for (size_t i = 0; i < FGOB.Members().size(); ++i)
            targets.push_back(i);
    if (targets.empty())
        return;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.Title = "Extract To";
    request.Filter = "All Files (*.*)|*.*";
    request.FileName = LeafOf(FGOB.Members()[targets.front()].Name);
    const std::vector<std::string> chosen = ChooseFiles(request);
    if (chosen.empty())
        return;
    // The chosen name only picks the folder; each member goes into its own folders there.
    const std::string folder = Utf8Path(chosen.front()).parent_path().string();
    TProgressForm *progress = Context().ProgressForm;
    struct TFinish
    {
        TProgressForm *Form;
        ~TFinish()
        {
            if (Form)
                Form->Finish();
        }
    } finish{progress};
    if (progress) {
        progress->ProgressLabel->setText("Extracting...");
        progress->Start(true);
    }
    std::string problems;
    bool ask = true;
    for (size_t index : targets) {
        const TGOBMember &m = FGOB.Members()[index];
        if (!m.Problem.empty()) {
            problems += "\n" + GOBShownName(m.Name) + ": " + m.Problem;
            continue;
        }
        const std::string path = FGOB.ExtractPath(index, folder);
        if (ask && FileExists(path)) {
            const int answer = ConfirmReplace(path, targets.size() > 1);
            if (answer == mrNo)
                continue;
            if (answer == mrYesToAll)
                ask = false;
            else if (answer != mrYes)
                break;
        }
        if (progress)
            progress->ProgressLabel->setText(Q("Extracting " + GOBShownName(m.Name)));
        FGOB.Extract(index, folder);
        if (progress) {
            progress->KeepPainted();
            if (progress->Cancelled())
                break;
        }
    }
    if (!problems.empty())
        Messages().Warning("Not extracted:" + problems, {}, this);
}

void TGOBForm::AddFiles()
{
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Open;
    request.Title = "Add Files";
    request.Filter = "All Supported Files|*.bm; *.cmp; *.mat; *.sft|All Files (*.*)|*.*";
    request.MultiSelect = true;
    AddPaths(ChooseFiles(request));
}

bool TGOBForm::eventFilter(QObject *watched, QEvent *event)
{
    // Files dropped on the list go into the folder shown, as Add Files puts them (not opened
    // by the main window); once the drop is over, since a name already there asks first.
    const bool list = watched == IconView->viewport() || watched == DetailsView->viewport();
    const QEvent::Type type = event->type();
    if (!list || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return TDocumentWindowOf<TGOBForm>::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    std::vector<std::string> files;
    for (const QUrl &url : drop->mimeData()->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    if (files.empty())
        return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this,
            [this, files] {
                try {
                    AddPaths(files);
                } catch (const std::exception &e) {
                    Messages().Error(e.what(), {}, this);
                }
            },
            Qt::QueuedConnection);
    return true;
}

void TGOBForm::AddPaths(const std::vector<std::string> &files)
{
    const std::string folder = FFilter->Folder;
    bool ask = true;
    auto step = std::make_unique<TContainerStep>("Add Files", FGOB, FIds);
    const auto finish = [&] {
        if (step->Finish()) {
            PushStep(std::move(step), {});
            MembersChanged();
        }
    };
    try {
        for (const std::string &file : files) {
            const std::string leaf = ExtractFileName(file);
            const std::string name = GOBStoredName(folder.empty() ? leaf : folder + "\\" + leaf);
            const int existing = FGOB.Find(name);
            if (existing >= 0 && ask) {
                const int answer = ConfirmReplace(GOBShownName(name), files.size() > 1);
                if (answer == mrNo)
                    continue;
                if (answer == mrYesToAll)
                    ask = false;
                else if (answer != mrYes)
                    break;
            }
            const size_t index = step->PutFile(name, file);
            if (index < FIds.size()) {
                FThumbnails.erase(FIds[index]);
                FRequested.erase(FIds[index]);
            }
        }
    } catch (...) {
        finish(); // what was added before the failure stays, as one step
        throw;
    }
    finish();
}

void TGOBForm::DeleteMembers()
{
    const std::vector<size_t> selected = SelectedMembers();
    if (selected.empty())
        return;
    const std::string what = selected.size() == 1
                                 ? GOBShownName(FGOB.Members()[selected.front()].Name)
                                 : std::to_string(selected.size()) + " members";
    if (Messages().Question("Delete " + what + " from " + FileName + "?", {}, this) !=
        TMessageResult::Yes)
        return;
    auto step = std::make_unique<TContainerStep>(
        selected.size() == 1 ? "Delete Member" : "Delete Members", FGOB, FIds);
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        // A member's open window goes first, with its own question; kept open, it keeps its
        // member too.
        const int id = FIds[*it];
        if (TDocumentWindow *window = FMemberWindows[id]; window && !window->IsClosed()) {
            QWidget *frame = window->parentWidget();
            (frame ? frame : window)->close();
            if (!window->IsClosed())
                continue;
        }
        step->Remove(*it);
        FThumbnails.erase(id);
        FRequested.erase(id);
    }
    if (step->Finish()) {
        PushStep(std::move(step), {});
        MembersChanged();
    }
}

void TGOBForm::RenameMember()
{
    const std::vector<size_t> selected = SelectedMembers();
    if (selected.size() != 1)
        return;
    QAbstractItemView *view = FViews->currentWidget() == IconView
                                  ? static_cast<QAbstractItemView *>(IconView)
                                  : DetailsView;
    view->setFocus();
    const QModelIndex at = ListIndex(selected.front());
    view->edit(view == IconView ? at.siblingAtColumn(LeafColumn) : at);
}

bool TGOBForm::RenameTo(size_t index, const std::string &name)
{
    try {
        const std::string stored = GOBStoredName(name);
        const std::string &old = FGOB.Members().at(index).Name;
        if (stored == old)
            return true;
        const int other = FGOB.Find(stored);
        if (other >= 0 && static_cast<size_t>(other) != index)
            throw EInOutError(EInOutError::Other,
                              "A member named '" + GOBShownName(stored) + "' already exists");
        auto step = std::make_unique<TContainerStep>("Rename Member", FGOB, FIds);
        step->Rename(index, stored);
        PushStep(std::move(step), {});
    } catch (const std::exception &e) {
        Messages().Error(e.what(), {}, this);
        return false;
    }
    const int id = FIds[index];
    if (TDocumentWindow *window = FMemberWindows[id]; window && !window->IsClosed())
        window->RenameMember(MemberPath(index), MemberCaption(index));
    FModel->RowChanged(index);
    // The list's editor is still committing this name: the folders and the list are made
    // again once it has closed, since remaking the list would take the editor away under it.
    QMetaObject::invokeMethod(
        this, [this] { MembersChanged(); }, Qt::QueuedConnection);
    UpdateMainWindow();
    return true;
}
