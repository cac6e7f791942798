#pragma once
// The container window: a GOB or GOO file as a folder tree beside its members, listed with
// name, kind and size or shown as thumbnails drawn through a colormap chosen in the window.
// Members open in their ordinary windows, captioned CONTAINER::NAME; their Save puts the
// bytes back into this container, held in memory until the container itself is saved. Each
// edit of the container (add, replace, remove, rename, a member saved back) is one undo step
// (core/documents/GLM_ContainerStep).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QPointer>

#include "formats/GLM_Globals.h"
#include "formats/LEC_GOB.h"
#include "ui/kit/GLM_DocumentWindow.h"

class QComboBox;
class QLineEdit;
class QListView;
class QModelIndex;
class QStackedWidget;
class QTreeView;
class QTreeWidget;
class TGOBFilter;
class TGOBModel;
class TThumbnailMaker;

class TGOBForm : public TDocumentWindowOf<TGOBForm>
{
    Q_OBJECT
public:
    static constexpr TDocumentDescription Description{
        .Kind = TDocumentKind::GOB,
        .Extension = ".gob",
        .BackupExtension = ".~gob",
        .SaveTitle = "Save As GOB Container",
        .SaveFilter = "GOB Containers (*.gob)|*.gob|GOO Containers (*.goo)|*.goo|"
                      "All Files (*.*)|*.*",
        .DefaultExt = "gob",
        .FileType = TFileType::None,
        .BuiltInPalette = "Dflt",
        .PalettePath = &TSettings::MATPalettePath,
    };
    // The thumbnails' side at zoom z.
    static int ThumbnailSide(int zoom) { return 16 * (zoom + 1); }

    explicit TGOBForm(TWindowContext &context, QWidget *parent = nullptr);
    ~TGOBForm() override;

    // ---- Operations (the command table's GOB column).
    void OpenMember();     // the selected member in its own window
    void ExtractMembers(); // the selected members, or all, into a chosen folder
    void AddFiles();       // into the folder selected in the tree
    // Adds these files as Add Files does with the ones chosen (also those dropped on the list).
    void AddPaths(const std::vector<std::string> &files);
    void DeleteMembers();
    void RenameMember();  // edits the name in the list
    void SelectPalette(); // the colormap of the thumbnails
    void EditProperties();
    void ZoomIn();
    void ZoomOut();

    TDocumentFacts Facts() const override;
    TStatusTexts StatusTexts() const override;
    void OpenMemberNamed(const std::string &name) override;
    std::vector<std::string> MemberPaths(TDocumentKind kind) const override;

    // ---- What the window shows, for the user and for tests.
    const TGOB &Container() const { return FGOB; }
    // "Res2.gob::mat/a.mat" and the full path of member `index`.
    std::string MemberCaption(size_t index) const;
    std::string MemberPath(size_t index) const;
    // Selects the members of these stored names in the list (none: clears the selection).
    void SelectMembers(const std::vector<std::string> &names);
    // Renames member `index` as the list's editor does; false, after a message, when refused.
    bool RenameTo(size_t index, const std::string &name);
    // The thumbnail made for member `index`; null until the worker has made it.
    QImage Thumbnail(size_t index) const;
    void ShowIcons(bool icons);
    // The folder whose members the list shows ("" for all), in stored form ("mat\sub").
    void ShowFolder(const std::string &folder);

    QTreeWidget *FolderTree = nullptr;
    QLineEdit *FilterEdit = nullptr;
    QComboBox *ColormapBox = nullptr;
    QComboBox *ViewBox = nullptr;
    QTreeView *DetailsView = nullptr;
    QListView *IconView = nullptr;

protected:
    void NewDocument() override;
    void ReadDocument(const TDocumentSource &source) override;
    void WriteDocument(const std::string &path) const override;
    std::vector<uint8_t> DocumentBytes() const override;
    void ShowFrame() override;
    std::string BackupExtension() const override;
    void Written(const std::string &path) override;
    bool CloseDependents() override;
    void BeforeWrite() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void ShowStepView(const TStepView &view) override;

private:
    friend class TGOBModel;
    // The members' indexes, top down, selected in the list now shown.
    std::vector<size_t> SelectedMembers() const;
    int IndexOfId(int id) const;
    void OpenMemberAt(size_t index);
    void StoreMember(int id, std::vector<uint8_t> bytes);
    // After any change of the members: ids, tree, list, colormaps, captions, state.
    void MembersChanged();
    void RebuildFolders();
    void RebuildColormaps();
    void ColormapChosen(int item);
    void ThumbnailMade(int id, const QImage &picture);
    // Asks for the thumbnail of member `index` (the list calls it for the members in view).
    void RequestThumbnail(size_t index);
    void DropThumbnails();
    QModelIndex ListIndex(size_t member) const;

    TGOB FGOB;
    // A stable id per member, beside FGOB's list: member windows and thumbnails keep the id,
    // so renames and deletes of other members leave them attached to theirs.
    std::vector<int> FIds;
    std::map<int, size_t> FIndexOfId;
    int FNextId = 0;
    std::map<int, QPointer<TDocumentWindow>> FMemberWindows;
    std::map<int, QImage> FThumbnails;
    std::map<int, bool> FRequested;
    TPalette FPalette{};
    std::string FColormapName;
    QImage FBlank; // stands for a thumbnail not made yet
    int FZoom = 3;
    bool FSized = false;
    TGOBModel *FModel = nullptr;
    TGOBFilter *FFilter = nullptr;
    QStackedWidget *FViews = nullptr;
    std::unique_ptr<TThumbnailMaker> FMaker;
};
