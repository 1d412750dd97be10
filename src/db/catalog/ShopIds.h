// The write-back statements of the catalogue uploads: the shop ids (WooID,
// WooVarID1..6, Translate1..3) and sync times (LastSyncedAt,
// LastStockSyncedAt) that the shop's answers give to the rows of Category and
// ProductExtend. The one place that knows their SQL: the uploads
// (sync/catalog/) call these with typed values and queue the text they return
// (sync/catalog/WriteBackQueue.h). Text values go in as N'...' literals (an
// empty one as Null), sync times as the upload's time taken before its query.
// Pure functions, any thread.
//
// Objects deleted in the shop (the shop says one of our shop ids is unknown to
// it): the id is forgotten and the product made pending
// (ProductExtend.LastSyncedAt = Null), so the next product pass creates the
// object again. Product.ModifyDate belongs to the POS and is never written.
#pragma once

#include <string>
#include <vector>

#include "config/DateTime.h"
#include "model/VariationId.h"

namespace ooa {

// ---- Category groups and categories (table Category) ------------------------
// The shop created the category (named by its Category column) as wooId.
std::string CategoryCreatedStatement(const std::string& category, const std::string& wooId, TDateTime syncTime);
// The shop accepted the update of category wooId.
std::string CategorySyncedStatement(const std::string& wooId, TDateTime syncTime);
// The shop deleted category wooId: its WooID and Translate1..3 are emptied
// (deletes are permanent, so its translations are created afresh if it is
// offered again).
std::string CategoryDeletedStatement(const std::string& wooId, TDateTime syncTime);
// The shop does not know category wooId any more: it goes offline.
std::string CategoryGoneStatement(const std::string& wooId, TDateTime syncTime);
// The shop created the translation in slot (1..3) of the category it holds as
// originalWooId as translationId. No sync time is written.
std::string CategoryTranslationStatement(const std::string& originalWooId, int slot,
                                         const std::string& translationId);

// ---- Products (table ProductExtend) -----------------------------------------
// The shop created product productCode as wooId; synced: its sync times are
// written too; variations: the level ids its variation request answered.
std::string ProductCreatedStatement(const std::string& productCode, const std::string& wooId, bool synced,
                                    TDateTime syncTime, const std::vector<TVariationId>& variations);
// The shop accepted the update of product wooId; as above. "" when there is
// nothing to write (not synced, no variation ids).
std::string ProductUpdatedStatement(const std::string& wooId, bool synced, TDateTime syncTime,
                                    const std::vector<TVariationId>& variations);
// The shop deleted product wooId (and its variations with it): WooID and
// WooVarID1..6 are emptied, the sync times written.
std::string ProductDeletedStatement(const std::string& wooId, TDateTime syncTime);
// A deleted object was a product translation: the Translate column holding
// translationId is emptied, one statement per column (1..3).
std::vector<std::string> ProductTranslationDeletedStatements(const std::string& translationId);
// The shop created the translation in slot (1..3) of product productCode as
// translationId. No sync time is written.
std::string ProductTranslationStatement(const std::string& productCode, int slot, const std::string& translationId);
// The shop accepted the stock of product wooId.
std::string StockSyncedStatement(const std::string& wooId, TDateTime syncTime);

// ---- Deleted in the shop ----------------------------------------------------
// The product productId is gone: its WooID, its variation ids and its
// translations' ids (Translate1..3) are emptied, so it is created again as
// after any create, with its variations and translations.
std::string ForgetShopProductSql(const std::string& productId);
// The variation variationId of product productId is gone: the level column
// holding it is emptied. The caller may not know the level, so there is one
// statement per level column; only the one holding the id changes a row.
// None when either id is empty.
std::vector<std::string> ForgetShopVariationSql(const std::string& productId, const std::string& variationId);

}  // namespace ooa
