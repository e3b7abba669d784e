
						function getAllFont() { 
						var fontArr=[ 
						]
			return fontArr;
			}
          
		    function getAllColor(){
			  var colorArr=[ 
           ]
			return colorArr;
			}
          
