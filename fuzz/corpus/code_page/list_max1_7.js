shop_rate_list({"maxPage":1,"currentPageNum":1,"rateListDetail":[{"rateId":9000,"auction":{"aucNumId":"1000","title":"±¦±´0","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò0"}},
{"rateId":9001,"auction":{"aucNumId":"1001","title":"±¦±´1","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò1"}},
{"rateId":9002,"auction":{"aucNumId":"1002","title":"±¦±´2","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò2"}},
{"rateId":9003,"auction":{"aucNumId":"1003","title":"±¦±´3","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò3"}},
{"rateId":9004,"auction":{"aucNumId":"1004","title":"±¦±´4","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò4"}},
{"rateId":9005,"auction":{"aucNumId":"1005","title":"±¦±´5","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò5"}},
{"rateId":9006,"auction":{"aucNumId":"1006","title":"±¦±´6","auctionPrice":"10.00"},"content":"Ò»°ã","date":"2012.03.08","rate":"0","user":{"nick":"Âô¼Ò6"}}]})
