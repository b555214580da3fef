#include "components/grid/TColumnItem.h"

#include <algorithm>

#include "components/grid/TGridCell.h"
#include "components/grid/TGridColumns.h"
#include "components/grid/TZopFileDBGrid.h"
#include "framework/core/TStrings.h"
#include "framework/core/TextUtils.h"
#include "framework/core/TypeInfo.h"
#include "framework/core/UpdateBracket.h"

namespace {

constexpr int MaxColumnWidth = 6000;

}  // namespace

const TTypeInfo* GetTypeInfo(TColumnAlignType*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TColumnAlignType", {"CA_Left", "CA_Center", "CA_Right"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TTitleAlignType*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TTitleAlignType", {"TA_Left", "TA_Center", "TA_Right"});
    return &Info;
}

const TTypeInfo* GetTypeInfo(TColumnEditStyle*)
{
    static const TTypeInfo Info = MakeEnumTypeInfo("TColumnEditStyle", {"CES_None", "CES_PickList", "CES_Ellipsis"});
    return &Info;
}

const TClassInfo* TColumnItem::StaticClassInfo()
{
    static const TClassInfo Info =
        TClassBuilder<TColumnItem, TCollectionItem>("TColumnItem")
            .Property("ImeName", &TColumnItem::GetImeName, &TColumnItem::SetImeName)
            .Property("ColumnWidth", &TColumnItem::GetColumnWidth, &TColumnItem::SetFWidth)
            .Default(64)
            .Property("ColumnAlign", &TColumnItem::GetColumnAlign, &TColumnItem::SetFColumnAlign)
            .Default(CA_Left)
            .Property("ColumnColor", &TColumnItem::GetColumnColor, &TColumnItem::SetFColumnColor)
            .Default(TColor(0))
            .Property("UseColumnColor", &TColumnItem::GetUseColumnColor, &TColumnItem::SetFUseColumnColor)
            .Default(false)
            .Property("Title", &TColumnItem::GetTitle, &TColumnItem::SetFTitle)
            .Translatable()
            .Property("TitleAlign", &TColumnItem::GetTitleAlign, &TColumnItem::SetFTitleAlign)
            .Default(TA_Left)
            .Property("TitleColor", &TColumnItem::GetTitleColor, &TColumnItem::SetFTitleColor)
            .Default(DefaultTitleColor)
            .Property("EditStyle", &TColumnItem::GetEditStyle, &TColumnItem::SetFEditStyle)
            .Default(CES_None)
            .Property("PickList", &TColumnItem::GetFPickUpList, &TColumnItem::SetFPickUpList)
            .Property("DataField", &TColumnItem::GetDataField, &TColumnItem::SetDataField)
            .Property("CellBtnPressed", &TColumnItem::CellBtnPressed)
            .Property("CellComboBoxSelected", &TColumnItem::CellComboBoxSelected)
            .Property("CellGetValue", &TColumnItem::CellGetValue)
            .Property("CellPickListInit", &TColumnItem::CellPickListInit)
            .Build();
    return &Info;
}

TColumnItem::TColumnItem(TCollection* Collection) : TCollectionItem(Collection)
{
    FImeName.clear();
    FColumnWidth = 64;
    FTitleColor = DefaultTitleColor;
    FDataCells = new TStringList;
    FPickUpList = new TStringList;
    SetDisplayName(GetColumnStateStr());
    FTitleCell = new TGridCell(nullptr);
    FTitleCell->SetColor(DefaultTitleColor);
    FTitleCell->SetEditOwner(this);
    FTitleCell->SetFCol(Index());
    FTitleCell->SetFRow(0);
    FTitleCell->SetFIsTitleCell(true);
    FTitleCell->SetTop(1);
    FTitleCell->SetLeft(CalcNewTitleCellLeftPos());
    if (TZopFileDBGrid* G = Grid()) FTitleCell->SetParent(G);
}

TColumnItem::~TColumnItem()
{
    FreeCell(FTitleCell);
    FTitleCell = nullptr;
    FPickUpList->Clear();
    delete FPickUpList;
    FPickUpList = nullptr;
    for (int I = 0; I < FDataCells->Count(); ++I) {
        FreeCell(static_cast<TGridCell*>(FDataCells->Objects(I)));
        FDataCells->PutObject(I, nullptr);
    }
    delete FDataCells;
    FDataCells = nullptr;
    // The item leaves its collection here rather than in the inherited destructor, so that
    // the remaining columns close the gap it leaves.
    TCollection* Columns = Collection();
    SetCollection(nullptr);
    LayOutColumns(Columns);
}

void TColumnItem::FreeCell(TGridCell* Cell)
{
    if (!Cell) return;
    if (TZopFileDBGrid* G = Grid()) G->ForgetCell(Cell);
    Cell->SetEditOwner(nullptr);
    Cell->Free();
}

void TColumnItem::LayOutColumns(TCollection* Columns)
{
    // A collection being torn down is no longer a grid's column collection: nothing to lay out.
    auto* GridColumns = dynamic_cast<TGridColumns*>(Columns);
    if (!GridColumns) return;
    for (int I = 0; I < GridColumns->GetCount(); ++I) {
        TColumnItem* Column = GridColumns->GeTColumnItem(I);
        const int Left = Column->CalcNewTitleCellLeftPos();
        Column->FTitleCell->SetLeft(Left);
        for (int R = 0; R < Column->DataCellCount(); ++R) Column->GetDataCell(R)->SetLeft(Left);
    }
}

void TColumnItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TColumnItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    // The title goes into the field directly: the display name stays as it was.
    FTitle = Other->FTitle;
    FEditStyle = Other->FEditStyle;
    FTitleCell->FitTitleWidth();
    FTitleCell->Invalidate();
}

AnsiString TColumnItem::GetDisplayName()
{
    AnsiString Result = FDisplayName;
    SetFWidth(FColumnWidth);
    return Result;
}

void TColumnItem::SetDisplayName(const AnsiString& Value)
{
    FDisplayName = Value;
}

AnsiString TColumnItem::GetColumnStateStr() const
{
    if (Trim(FTitle).empty()) return "NewGrigColumn";
    return "[ " + FTitle + " ]";
}

TZopFileDBGrid* TColumnItem::Grid() const
{
    auto* Columns = dynamic_cast<TGridColumns*>(Collection());
    return Columns ? Columns->FGrid : nullptr;
}

int TColumnItem::DataCellCount() const
{
    return FDataCells->Count();
}

TGridCell* TColumnItem::GetDataCell(int Row) const
{
    if (Row > FDataCells->Count() - 1) return nullptr;
    return static_cast<TGridCell*>(FDataCells->Objects(Row));
}

void TColumnItem::AddNewDataCell()
{
    const int K = FDataCells->Count();
    auto* Cell = new TGridCell(nullptr);
    Cell->SetEditOwner(this);
    Cell->SetFCol(Index());
    Cell->SetFRow(K);
    Cell->SetBounds(FTitleCell->Left(), CalcNewDataCellTopPos(K + 1), FTitleCell->Width(), FTitleCell->Height());
    if (TZopFileDBGrid* G = Grid()) Cell->SetParent(G);
    FDataCells->AddObject(AnsiString(), Cell);
}

void TColumnItem::DeleteDataCell()
{
    const int Count = FDataCells->Count();
    if (Count == 0) return;
    auto* Cell = static_cast<TGridCell*>(FDataCells->Objects(Count - 1));
    // Any of the shared editors may sit in the cell that is about to go.
    if (TZopFileDBGrid* G = Grid()) G->DetachSharedEditors();
    FreeCell(Cell);
    FDataCells->PutObject(Count - 1, nullptr);
    FDataCells->Delete(Count - 1);
}

void TColumnItem::ResetDataCellsWidth(int Width)
{
    for (int R = 0; R < DataCellCount(); ++R) GetDataCell(R)->SetWidth(Width);
}

void TColumnItem::OffsetCellLeftPos(int Delta)
{
    auto* Columns = dynamic_cast<TGridColumns*>(Collection());
    if (!Columns) return;
    for (int I = Index() + 1; I < Columns->GetCount(); ++I) {
        TColumnItem* Column = Columns->GeTColumnItem(I);
        Column->FTitleCell->SetLeft(Column->FTitleCell->Left() + Delta);
        for (int R = 0; R < Column->DataCellCount(); ++R) {
            TGridCell* Cell = Column->GetDataCell(R);
            Cell->SetLeft(Cell->Left() + Delta);
        }
    }
}

int TColumnItem::CalcNewTitleCellLeftPos() const
{
    TZopFileDBGrid* G = Grid();
    int Left = G ? G->FFirstColumnLeft : 1;
    auto* Columns = dynamic_cast<TGridColumns*>(Collection());
    if (!Columns) return Left;
    // The title cells' actual widths count, not the stored ColumnWidth values.
    for (int I = 0; I < Index(); ++I) Left += Columns->GeTColumnItem(I)->FTitleCell->Width();
    return Left;
}

int TColumnItem::CalcNewDataCellTopPos(int N) const
{
    int Top = FTitleCell->Top() + FTitleCell->Height();
    for (int I = 0; I <= N - 2; ++I) Top += GetDataCell(I)->Height();
    return Top;
}

int TColumnItem::ColumnTitleFixColumnWidth(int Width)
{
    FColumnWidth = std::min(std::max(FColumnWidth, Width), MaxColumnWidth);
    return FColumnWidth;
}

void TColumnItem::FitCellWidths()
{
    FTitleCell->FitTitleWidth();
    for (int R = 0; R < DataCellCount(); ++R) GetDataCell(R)->FitDataWidth();
}

void TColumnItem::InvalidateDataCells()
{
    for (int R = 0; R < DataCellCount(); ++R) GetDataCell(R)->Invalidate();
}

void TColumnItem::SetFWidth(int Value)
{
    FColumnWidth = Value;
    FTitleCell->SetWidth(Value);
    ResetDataCellsWidth(Value);
    LayOutColumns(Collection());
    FitCellWidths();
}

void TColumnItem::SetFColumnAlign(TColumnAlignType Value)
{
    FColumnAlign = Value;
    InvalidateDataCells();
}

void TColumnItem::SetFColumnColor(TColor Value)
{
    FColumnColor = Value;
    InvalidateDataCells();
}

void TColumnItem::SetFUseColumnColor(bool Value)
{
    FUseColumnColor = Value;
    InvalidateDataCells();
}

void TColumnItem::SetFTitle(const AnsiString& Value)
{
    FTitle = Value;
    SetDisplayName(GetColumnStateStr());
    FitCellWidths();
    FTitleCell->Invalidate();
}

void TColumnItem::SetFTitleAlign(TTitleAlignType Value)
{
    FTitleAlign = Value;
    FTitleCell->Invalidate();
}

void TColumnItem::SetFTitleColor(TColor Value)
{
    FTitleColor = Value;
    FTitleCell->SetColor(Value);
}

void TColumnItem::SetFPickUpList(TStringList* Value)
{
    WithinUpdate(*FPickUpList, [&] { FPickUpList->Assign(Value); });
}
