"""The goods ledger and the scrap book through lumoaccess."""
import datetime as dt

import pytest

import lumoaccess as la


@pytest.fixture
def item(item_db, reports):
    i = la.clsIidAccess()
    assert i.Initialize(item_db.connection) is False
    return i


@pytest.fixture
def scrap(scrap_db, reports):
    s = la.clsScrapAccess()
    assert s.Initialize(scrap_db.connection) is False
    return s


def test_a_purchase_sheet_is_entered_read_changed_and_removed(item, item_db, reports):
    goods, supplier, customer, sheet = la.GoodsInformation(), la.SupplierInformation(), la.CustomerInformation(), la.SheetInformation()
    goods.strGoodsName, goods.strMakerName = "万年筆", "文具堂"
    supplier.strSupplierName = "丸善商事"
    sheet.intSheetFlag, sheet.dyStockDate, sheet.lngStockQuantity, sheet.strNote = 0, dt.datetime(2024, 4, 1), 3, "初回"
    assert item.SetGoodsInformation(goods, supplier, customer, sheet, True) is False
    assert sheet.lngSheetID > 0 and goods.lngGoodsID > 0 and supplier.lngSupplierID > 0

    back = la.SheetInformation()
    item.GetSheetInformation(sheet.lngSheetID, back)
    assert (back.lngGoodsID, back.lngSupplierID, back.lngStockQuantity, back.strNote) == (goods.lngGoodsID, supplier.lngSupplierID, 3, "初回")
    read_goods = la.GoodsInformation()
    item.GetItemInformation(goods.lngGoodsID, read_goods)
    assert read_goods.strGoodsName == "万年筆"
    by_name = la.GoodsInformation()
    assert item.ReadItemInformation("万年筆", by_name) is False and by_name.lngGoodsID == goods.lngGoodsID
    by_supplier = la.SupplierInformation()
    assert item.ReadSupplierInformation("丸善商事", by_supplier) is False and by_supplier.lngSupplierID == supplier.lngSupplierID
    c, s = la.CustomerInformation(), la.SupplierInformation()
    item.GetPersonInformation(supplier.lngSupplierID, c, s, True)
    overview = item.GetGoodsInformationOverView(sheet.lngSheetID)
    assert overview.strGoodsName == "万年筆" and overview.blnFlag is True

    back.dyStockDate, back.lngStockQuantity = dt.datetime(2024, 4, 2), 5
    assert item.UpdateSheetInformation(sheet.lngSheetID, back) is False
    assert item_db.rows("SELECT QUANTITY FROM T_SHEET WHERE ID = ?", sheet.lngSheetID) == [(5,)]
    assert "万年筆" in item.CreateSimpleViewQuery("万年筆", "")
    assert item.CreateAdvancedViewQuery(["a", "b"]) == ""
    assert item.CreateItemView("", "万年筆", "") != ""
    assert item.CreatePersonView("", "丸善", "", True) != ""
    assert item.GetFindView("万年筆", "") != ""
    label = item.GetGroupIDEx("文房具")
    labels = []
    item.GetGroupLabel(labels)
    assert [str(label), "文房具"] in [list(r) for r in labels]

    assert item.DelGoodsInformation(sheet.lngSheetID, goods.lngGoodsID, supplier.lngSupplierID, 0) is False
    assert item_db.rows("SELECT COUNT(*) FROM T_SHEET") == [(0,)]
    assert reports == []


def test_a_failing_item_operation_reports_once(item, item_db, reports):
    item_db.exec("ALTER TABLE T_SHEET RENAME TO T_AWAY")
    sheet = la.SheetInformation()
    assert item.UpdateSheetInformation(10, sheet) is True
    assert [code for code, _ in la.errors()] == ["CLS-iida1036"]
    assert item.DeleteSheetInformation(10) is True
    assert [code for code, _ in la.errors()] == ["CLS-iida1028"]


def test_a_scrap_round_trips_with_its_dates(scrap, scrap_db, reports):
    record = la.ScrapInformation()
    record.strTitle, record.strBody, record.strKeyword = "新聞記事", "本文です", "経済"
    record.dyRegDate = dt.datetime(1899, 12, 29, 6, 0)
    assert scrap.SetScrapInformation(record) is False
    scrap_id = scrap_db.rows("SELECT MAX(ID) FROM T_SCRAP")[0][0]

    back = la.ScrapInformation()
    scrap.GetScrapInformation(scrap_id, back)
    assert (back.strTitle, back.strBody, back.dyRegDate) == ("新聞記事", "本文です", dt.datetime(1899, 12, 29, 6, 0))

    scrap.UpdateLastDate(scrap_id, dt.datetime(2024, 1, 2, 3, 4, 5), "新しい本文")
    overview = la.ScrapInfoOverview()
    scrap.GetScrapInformationOverView(scrap_id, overview)
    assert (overview.strBody, overview.dyLastDate) == ("新しい本文", dt.datetime(2024, 1, 2, 3, 4, 5))
    scrap.UpdateLastDate(scrap_id, None, "")
    assert scrap_db.rows("SELECT ED_DATE FROM T_SCRAP WHERE ID = ?", scrap_id) == [(0.0,)]

    back.strTitle = "改題"
    assert scrap.UpScrapInformation(scrap_id, back) is False
    assert "経済" in scrap.CreateSimpleViewQuery("経済", "")
    assert scrap.CreateAdvancedViewQuery() == ""
    assert scrap.GetFindView("経済", "") != ""
    group = scrap.GetGroupIDEx("切り抜き")
    labels = []
    assert scrap.GetGroupLabel(labels) is False
    assert [str(group), "切り抜き"] in [list(r) for r in labels]
    assert scrap.DeleteGroup(group) is False
    assert scrap.DelScrapInformation(scrap_id) is False
    assert scrap_db.rows("SELECT COUNT(*) FROM T_SCRAP") == [(0,)]
    assert reports == []
