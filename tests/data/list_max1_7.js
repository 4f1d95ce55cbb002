shop_rate_list({"maxPage":1,"currentPageNum":1,"rateListDetail":[{"rateId":9000,"auction":{"aucNumId":"1000","title":"宝贝0","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家0"}},
{"rateId":9001,"auction":{"aucNumId":"1001","title":"宝贝1","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家1"}},
{"rateId":9002,"auction":{"aucNumId":"1002","title":"宝贝2","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家2"}},
{"rateId":9003,"auction":{"aucNumId":"1003","title":"宝贝3","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家3"}},
{"rateId":9004,"auction":{"aucNumId":"1004","title":"宝贝4","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家4"}},
{"rateId":9005,"auction":{"aucNumId":"1005","title":"宝贝5","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家5"}},
{"rateId":9006,"auction":{"aucNumId":"1006","title":"宝贝6","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家6"}}]})
