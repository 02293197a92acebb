ORBINO-UKAZKA 1
nazov: Nový prieèinok
krok 1: kurzor na pracovnú plochu
krok 2: pravé tlaèidlo myši, Nový, Prieèinok
krok 3: napíšte názov a stlaète Enter
