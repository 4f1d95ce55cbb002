shop_rate_list({"currentPageNum":1,"rateListDetail":[{"rateId":9000,"auction":{"aucNumId":"1000","title":"±¦±´0","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò0"}},
{"rateId":9001,"auction":{"aucNumId":"1001","title":"±¦±´1","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò1"}},
{"rateId":9002,"auction":{"aucNumId":"1002","title":"±¦±´2","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò2"}}]})
