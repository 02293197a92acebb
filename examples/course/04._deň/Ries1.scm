ORBINO-UKAZKA 1
nazov: Riešenie úlohy 1
krok 1: kurzor na pracovnú plochu
krok 2: pravé tlaèidlo myši, Nový, Prieèinok
krok 3: napíšte Skúška a stlaète Enter
