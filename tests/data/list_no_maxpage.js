shop_rate_list({"currentPageNum":1,"rateListDetail":[{"rateId":9000,"auction":{"aucNumId":"1000","title":"宝贝0","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家0"}},
{"rateId":9001,"auction":{"aucNumId":"1001","title":"宝贝1","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家1"}},
{"rateId":9002,"auction":{"aucNumId":"1002","title":"宝贝2","auctionPrice":"10.00"},"content":"一般","date":"2012.03.08","rate":"0","user":{"nick":"卖家2"}}]})
