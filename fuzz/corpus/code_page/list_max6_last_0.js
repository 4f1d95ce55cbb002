shop_rate_list({"maxPage":6,"currentPageNum":6,"rateListDetail":[]})
