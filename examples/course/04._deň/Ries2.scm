ORBINO-UKAZKA 2
nazov: Riešenie úlohy 2
krok 1: dvojklik na prieèinok Skúška
krok 2: pravé tlaèidlo myši, Novı, Textovı dokument
krok 3: názov poznamky.txt, Enter
krok 4: dvojklik, napíšte meno, Súbor, Uloi
