// The built-in words of the message table, one array per language in the
// order of TMsgLanguageWords (a comment marks every tenth word).
#include "imaging/core/iewords.h"

#include <iterator>

#include "imaging/core/iemsg.h"

namespace {

constexpr const char* kEnglish[] = {
    "Preview", "Original", "Result", "OK", "Cancel", "Lock preview",  // 0
    "Copy Result to Original", "Contrast", "Brightness", "Hue",
    "Saturation", "Value", "Base color", "New color", "Luminosity", "Red", "Green",  // 10
    "Blue", "Filter values", "Presets",
    "Divisor", "Load", "Save", "Equalization", "Threshold", "Equalize", "Histogram",  // 20
    "Gray", "Light", "Left",
    "Top", "Width", "Height", "Color", "Original image quantity", "Lens", "Refraction",  // 30
    "Parameters Preview", "Quality", "DCT method",
    "Smoothing factor", "Gray scale", "Optimal Huffman", "Original size",  // 40
    "Compressed size", "Advanced", "Progressive", "Compression", "Image index",
    "Photometric",
    "Scanned document info", "Name", "Description", "Page name", "Page number", "of",  // 50
    "Horiz. Position (inch)", "Vert. Position (inch)", "Colors", "Transparent",
    "Transparent color", "Interlaced", "Background", "Horiz. Position",  // 60
    "Vert. Position", "Delay time", "Filter", "Wave", "Amplitude", "Wave length",
    "Phase", "Reflective", "User filter", "Morphing filters", "Window size", "Maximum",  // 70
    "Minimum", "Opening", "Closing", "Rotate",
    "Flip", "Horizontal", "Vertical", "Frequency domain image",  // 80
    "Select the region to clean", "Clear", "Reset", "Animate", "Load filter",
    "Save filter",
    "Bump map", "Print", "Margins", "inches", "Right", "Bottom", "Position", "Size",  // 90
    "Normal", "Fit to page",
    "Stretch to page", "Specified size", "Gamma correction", "Value", "Print Setup",  // 100
    "Left Margin", "Top Margin", "Right Margin", "Bottom Margin", "Location/size",
    "Top Left", "Top Center", "Top Right", "Center Left", "Center", "Center Right",  // 110
    "Bottom Left", "Bottom Center", "Bottom Right", "Close",
    "Apply", "Measure Units", "Units", "Rate",  // 120
};
static_assert(std::size(kEnglish) == kIEMsgWordCount);

constexpr const char* kItalian[] = {
    "Anteprima", "Originale", "Risultato", "OK", "Annulla", "Blocca anteprima",  // 0
    "Copia risultato su originale", "Contrasto", "Luminosità", "Tonalità",
    "Saturazione", "Valore", "Colore base", "Nuovo colore", "Luminanza", "Rosso",  // 10
    "Verde", "Blu", "Valori filtro", "Predefiniti",
    "Divisore", "Carica", "Salva", "Equalizzazione", "Soglia", "Equalizza",  // 20
    "Istogramma", "Grigio", "Luce", "Sinistra",
    "Alto", "Larghezza", "Altezza", "Colore", "Quantità immagine originale", "Lente",  // 30
    "Rifrazione", "Anteprima parametri", "Qualità", "Metodo DCT",
    "Fattore di smussatura", "Scala di grigi", "Huffman ottimizzato",  // 40
    "Dimensione originale", "Dimensione compressa", "Avanzate", "Progressivo",
    "Compressione", "Indice immagine", "Fotometrica",
    "Info documento scansionato", "Nome", "Descrizione", "Nome pagina", "Numero pagina",  // 50
    "di", "Posizione oriz. (pollici)", "Posizione vert. (pollici)", "Colori",
    "Trasparente",
    "Colore trasparente", "Interlacciato", "Sfondo", "Posizione oriz.",  // 60
    "Posizione vert.", "Tempo di ritardo", "Filtro", "Onda", "Ampiezza",
    "Lunghezza d'onda",
    "Fase", "Riflessione", "Filtro utente", "Filtri morfologici", "Dimensione finestra",  // 70
    "Massimo", "Minimo", "Apertura", "Chiusura", "Ruota",
    "Rifletti", "Orizzontale", "Verticale", "Immagine nel dominio delle frequenze",  // 80
    "Seleziona la regione da pulire", "Cancella", "Reimposta", "Anima", "Carica filtro",
    "Salva filtro",
    "Mappa di rilievo", "Stampa", "Margini", "pollici", "Destra", "Basso", "Posizione",  // 90
    "Dimensione", "Normale", "Adatta alla pagina",
    "Estendi alla pagina", "Dimensione specificata", "Correzione gamma", "Valore",  // 100
    "Imposta stampa", "Margine sinistro", "Margine superiore", "Margine destro",
    "Margine inferiore", "Posizione/dimensione",
    "In alto a sinistra", "In alto al centro", "In alto a destra",  // 110
    "Al centro a sinistra", "Centro", "Al centro a destra", "In basso a sinistra",
    "In basso al centro", "In basso a destra", "Chiudi",
    "Applica", "Unità di misura", "Unità", "Tasso",  // 120
};
static_assert(std::size(kItalian) == kIEMsgWordCount);

constexpr const char* kGerman[] = {
    "Vorschau", "Original", "Ergebnis", "OK", "Abbrechen", "Vorschau sperren",  // 0
    "Ergebnis ins Original kopieren", "Kontrast", "Helligkeit", "Farbton",
    "Sättigung", "Wert", "Grundfarbe", "Neue Farbe", "Leuchtkraft", "Rot", "Grün",  // 10
    "Blau", "Filterwerte", "Vorgaben",
    "Divisor", "Laden", "Speichern", "Ausgleich", "Schwellenwert", "Ausgleichen",  // 20
    "Histogramm", "Grau", "Licht", "Links",
    "Oben", "Breite", "Höhe", "Farbe", "Anteil des Originalbilds", "Linse", "Brechung",  // 30
    "Parametervorschau", "Qualität", "DCT-Verfahren",
    "Glättungsfaktor", "Graustufen", "Optimales Huffman", "Originalgröße",  // 40
    "Komprimierte Größe", "Erweitert", "Progressiv", "Komprimierung", "Bildindex",
    "Photometrie",
    "Angaben zum gescannten Dokument", "Name", "Beschreibung", "Seitenname",  // 50
    "Seitennummer", "von", "Horiz. Position (Zoll)", "Vert. Position (Zoll)", "Farben",
    "Transparent",
    "Transparente Farbe", "Zeilensprung", "Hintergrund", "Horiz. Position",  // 60
    "Vert. Position", "Verzögerung", "Filter", "Welle", "Amplitude", "Wellenlänge",
    "Phase", "Spiegelnd", "Benutzerfilter", "Morphologische Filter", "Fenstergröße",  // 70
    "Maximum", "Minimum", "Öffnung", "Schließung", "Drehen",
    "Spiegeln", "Horizontal", "Vertikal", "Bild im Frequenzbereich",  // 80
    "Zu bereinigenden Bereich wählen", "Löschen", "Zurücksetzen", "Animieren",
    "Filter laden", "Filter speichern",
    "Reliefkarte", "Drucken", "Ränder", "Zoll", "Rechts", "Unten", "Position", "Größe",  // 90
    "Normal", "An Seite anpassen",
    "Auf Seite strecken", "Angegebene Größe", "Gammakorrektur", "Wert",  // 100
    "Druckeinrichtung", "Linker Rand", "Oberer Rand", "Rechter Rand", "Unterer Rand",
    "Position/Größe",
    "Oben links", "Oben Mitte", "Oben rechts", "Mitte links", "Mitte", "Mitte rechts",  // 110
    "Unten links", "Unten Mitte", "Unten rechts", "Schließen",
    "Anwenden", "Maßeinheiten", "Einheiten", "Rate",  // 120
};
static_assert(std::size(kGerman) == kIEMsgWordCount);

constexpr const char* kSpanish[] = {
    "Vista previa", "Original", "Resultado", "Aceptar", "Cancelar",  // 0
    "Bloquear vista previa", "Copiar resultado al original", "Contraste", "Brillo",
    "Tono",
    "Saturación", "Valor", "Color base", "Color nuevo", "Luminosidad", "Rojo", "Verde",  // 10
    "Azul", "Valores del filtro", "Preajustes",
    "Divisor", "Cargar", "Guardar", "Ecualización", "Umbral", "Ecualizar", "Histograma",  // 20
    "Gris", "Luz", "Izquierda",
    "Arriba", "Ancho", "Alto", "Color", "Cantidad de imagen original", "Lente",  // 30
    "Refracción", "Vista previa de parámetros", "Calidad", "Método DCT",
    "Factor de suavizado", "Escala de grises", "Huffman óptimo", "Tamaño original",  // 40
    "Tamaño comprimido", "Avanzado", "Progresivo", "Compresión", "Índice de imagen",
    "Fotométrica",
    "Información del documento escaneado", "Nombre", "Descripción", "Nombre de página",  // 50
    "Número de página", "de", "Posición horiz. (pulgadas)", "Posición vert. (pulgadas)",
    "Colores", "Transparente",
    "Color transparente", "Entrelazado", "Fondo", "Posición horiz.", "Posición vert.",  // 60
    "Tiempo de retardo", "Filtro", "Onda", "Amplitud", "Longitud de onda",
    "Fase", "Reflectante", "Filtro de usuario", "Filtros morfológicos",  // 70
    "Tamaño de ventana", "Máximo", "Mínimo", "Apertura", "Cierre", "Girar",
    "Voltear", "Horizontal", "Vertical", "Imagen en el dominio de la frecuencia",  // 80
    "Seleccione la región a limpiar", "Borrar", "Restablecer", "Animar",
    "Cargar filtro", "Guardar filtro",
    "Mapa de relieve", "Imprimir", "Márgenes", "pulgadas", "Derecha", "Abajo",  // 90
    "Posición", "Tamaño", "Normal", "Ajustar a la página",
    "Estirar a la página", "Tamaño especificado", "Corrección gamma", "Valor",  // 100
    "Configurar impresión", "Margen izquierdo", "Margen superior", "Margen derecho",
    "Margen inferior", "Ubicación/tamaño",
    "Arriba a la izquierda", "Arriba al centro", "Arriba a la derecha",  // 110
    "Centro a la izquierda", "Centro", "Centro a la derecha", "Abajo a la izquierda",
    "Abajo al centro", "Abajo a la derecha", "Cerrar",
    "Aplicar", "Unidades de medida", "Unidades", "Tasa",  // 120
};
static_assert(std::size(kSpanish) == kIEMsgWordCount);

constexpr const char* kFrench[] = {
    "Aperçu", "Original", "Résultat", "OK", "Annuler", "Verrouiller l'aperçu",  // 0
    "Copier le résultat vers l'original", "Contraste", "Luminosité", "Teinte",
    "Saturation", "Valeur", "Couleur de base", "Nouvelle couleur", "Luminance", "Rouge",  // 10
    "Vert", "Bleu", "Valeurs du filtre", "Préréglages",
    "Diviseur", "Charger", "Enregistrer", "Égalisation", "Seuil", "Égaliser",  // 20
    "Histogramme", "Gris", "Lumière", "Gauche",
    "Haut", "Largeur", "Hauteur", "Couleur", "Quantité d'image originale", "Lentille",  // 30
    "Réfraction", "Aperçu des paramètres", "Qualité", "Méthode DCT",
    "Facteur de lissage", "Niveaux de gris", "Huffman optimal", "Taille originale",  // 40
    "Taille compressée", "Avancé", "Progressif", "Compression", "Index de l'image",
    "Photométrique",
    "Infos du document numérisé", "Nom", "Description", "Nom de la page",  // 50
    "Numéro de page", "de", "Position horiz. (pouces)", "Position vert. (pouces)",
    "Couleurs", "Transparent",
    "Couleur transparente", "Entrelacé", "Arrière-plan", "Position horiz.",  // 60
    "Position vert.", "Délai", "Filtre", "Onde", "Amplitude", "Longueur d'onde",
    "Phase", "Réfléchissant", "Filtre utilisateur", "Filtres morphologiques",  // 70
    "Taille de la fenêtre", "Maximum", "Minimum", "Ouverture", "Fermeture", "Rotation",
    "Retourner", "Horizontal", "Vertical", "Image dans le domaine fréquentiel",  // 80
    "Sélectionnez la zone à nettoyer", "Effacer", "Réinitialiser", "Animer",
    "Charger un filtre", "Enregistrer le filtre",
    "Placage de relief", "Imprimer", "Marges", "pouces", "Droite", "Bas", "Position",  // 90
    "Taille", "Normal", "Ajuster à la page",
    "Étirer à la page", "Taille spécifiée", "Correction gamma", "Valeur",  // 100
    "Configuration de l'impression", "Marge gauche", "Marge haute", "Marge droite",
    "Marge basse", "Position/taille",
    "En haut à gauche", "En haut au centre", "En haut à droite", "Au centre à gauche",  // 110
    "Centre", "Au centre à droite", "En bas à gauche", "En bas au centre",
    "En bas à droite", "Fermer",
    "Appliquer", "Unités de mesure", "Unités", "Taux",  // 120
};
static_assert(std::size(kFrench) == kIEMsgWordCount);

constexpr const char* kPortuguese[] = {
    "Pré-visualização", "Original", "Resultado", "OK", "Cancelar",  // 0
    "Bloquear pré-visualização", "Copiar resultado para o original", "Contraste",
    "Brilho", "Matiz",
    "Saturação", "Valor", "Cor base", "Nova cor", "Luminosidade", "Vermelho", "Verde",  // 10
    "Azul", "Valores do filtro", "Predefinições",
    "Divisor", "Carregar", "Guardar", "Equalização", "Limiar", "Equalizar",  // 20
    "Histograma", "Cinzento", "Luz", "Esquerda",
    "Topo", "Largura", "Altura", "Cor", "Quantidade da imagem original", "Lente",  // 30
    "Refração", "Pré-visualização de parâmetros", "Qualidade", "Método DCT",
    "Fator de suavização", "Escala de cinzentos", "Huffman otimizado",  // 40
    "Tamanho original", "Tamanho comprimido", "Avançado", "Progressivo", "Compressão",
    "Índice da imagem", "Fotométrica",
    "Informação do documento digitalizado", "Nome", "Descrição", "Nome da página",  // 50
    "Número da página", "de", "Posição horiz. (polegadas)", "Posição vert. (polegadas)",
    "Cores", "Transparente",
    "Cor transparente", "Entrelaçado", "Fundo", "Posição horiz.", "Posição vert.",  // 60
    "Tempo de atraso", "Filtro", "Onda", "Amplitude", "Comprimento de onda",
    "Fase", "Refletivo", "Filtro do utilizador", "Filtros morfológicos",  // 70
    "Tamanho da janela", "Máximo", "Mínimo", "Abertura", "Fecho", "Rodar",
    "Inverter", "Horizontal", "Vertical", "Imagem no domínio da frequência",  // 80
    "Selecione a região a limpar", "Limpar", "Repor", "Animar", "Carregar filtro",
    "Guardar filtro",
    "Mapa de relevo", "Imprimir", "Margens", "polegadas", "Direita", "Baixo", "Posição",  // 90
    "Tamanho", "Normal", "Ajustar à página",
    "Esticar à página", "Tamanho especificado", "Correção gama", "Valor",  // 100
    "Configurar impressão", "Margem esquerda", "Margem superior", "Margem direita",
    "Margem inferior", "Localização/tamanho",
    "Superior esquerdo", "Superior centro", "Superior direito", "Centro esquerdo",  // 110
    "Centro", "Centro direito", "Inferior esquerdo", "Inferior centro",
    "Inferior direito", "Fechar",
    "Aplicar", "Unidades de medida", "Unidades", "Taxa",  // 120
};
static_assert(std::size(kPortuguese) == kIEMsgWordCount);

constexpr const char* kGreek[] = {
    "Προεπισκόπηση", "Αρχική", "Αποτέλεσμα", "Εντάξει", "Άκυρο",  // 0
    "Κλείδωμα προεπισκόπησης", "Αντιγραφή αποτελέσματος στην αρχική", "Αντίθεση",
    "Φωτεινότητα", "Απόχρωση",
    "Κορεσμός", "Τιμή", "Βασικό χρώμα", "Νέο χρώμα", "Λαμπρότητα", "Κόκκινο", "Πράσινο",  // 10
    "Μπλε", "Τιμές φίλτρου", "Προεπιλογές",
    "Διαιρέτης", "Φόρτωση", "Αποθήκευση", "Εξισορρόπηση", "Κατώφλι", "Εξισορρόπησε",  // 20
    "Ιστόγραμμα", "Γκρι", "Φως", "Αριστερά",
    "Πάνω", "Πλάτος", "Ύψος", "Χρώμα", "Ποσότητα αρχικής εικόνας", "Φακός", "Διάθλαση",  // 30
    "Προεπισκόπηση παραμέτρων", "Ποιότητα", "Μέθοδος DCT",
    "Συντελεστής εξομάλυνσης", "Κλίμακα του γκρι", "Βέλτιστο Huffman", "Αρχικό μέγεθος",  // 40
    "Συμπιεσμένο μέγεθος", "Για προχωρημένους", "Προοδευτική", "Συμπίεση",
    "Δείκτης εικόνας", "Φωτομετρικό",
    "Στοιχεία σαρωμένου εγγράφου", "Όνομα", "Περιγραφή", "Όνομα σελίδας",  // 50
    "Αριθμός σελίδας", "από", "Οριζ. θέση (ίντσες)", "Κατακ. θέση (ίντσες)", "Χρώματα",
    "Διαφανές",
    "Διαφανές χρώμα", "Πεπλεγμένο", "Φόντο", "Οριζ. θέση", "Κατακ. θέση",  // 60
    "Χρόνος καθυστέρησης", "Φίλτρο", "Κύμα", "Εύρος", "Μήκος κύματος",
    "Φάση", "Ανακλαστικό", "Φίλτρο χρήστη", "Μορφολογικά φίλτρα", "Μέγεθος παραθύρου",  // 70
    "Μέγιστο", "Ελάχιστο", "Άνοιγμα", "Κλείσιμο", "Περιστροφή",
    "Αναστροφή", "Οριζόντια", "Κατακόρυφα", "Εικόνα στο πεδίο συχνοτήτων",  // 80
    "Επιλέξτε την περιοχή για καθαρισμό", "Καθαρισμός", "Επαναφορά", "Κίνηση",
    "Φόρτωση φίλτρου", "Αποθήκευση φίλτρου",
    "Χάρτης ανάγλυφου", "Εκτύπωση", "Περιθώρια", "ίντσες", "Δεξιά", "Κάτω", "Θέση",  // 90
    "Μέγεθος", "Κανονικό", "Προσαρμογή στη σελίδα",
    "Τέντωμα στη σελίδα", "Καθορισμένο μέγεθος", "Διόρθωση γάμμα", "Τιμή",  // 100
    "Ρύθμιση εκτύπωσης", "Αριστερό περιθώριο", "Επάνω περιθώριο", "Δεξί περιθώριο",
    "Κάτω περιθώριο", "Θέση/μέγεθος",
    "Πάνω αριστερά", "Πάνω κέντρο", "Πάνω δεξιά", "Κέντρο αριστερά", "Κέντρο",  // 110
    "Κέντρο δεξιά", "Κάτω αριστερά", "Κάτω κέντρο", "Κάτω δεξιά", "Κλείσιμο",
    "Εφαρμογή", "Μονάδες μέτρησης", "Μονάδες", "Ρυθμός",  // 120
};
static_assert(std::size(kGreek) == kIEMsgWordCount);

constexpr const char* kRussian[] = {
    "Просмотр", "Оригинал", "Результат", "ОК", "Отмена", "Заблокировать просмотр",  // 0
    "Копировать результат в оригинал", "Контраст", "Яркость", "Оттенок",
    "Насыщенность", "Значение", "Основной цвет", "Новый цвет", "Светимость", "Красный",  // 10
    "Зелёный", "Синий", "Значения фильтра", "Наборы",
    "Делитель", "Загрузить", "Сохранить", "Выравнивание", "Порог", "Выровнять",  // 20
    "Гистограмма", "Серый", "Свет", "Слева",
    "Сверху", "Ширина", "Высота", "Цвет", "Доля исходного изображения", "Линза",  // 30
    "Преломление", "Просмотр параметров", "Качество", "Метод DCT",
    "Коэффициент сглаживания", "Оттенки серого", "Оптимальный Хаффман",  // 40
    "Исходный размер", "Размер после сжатия", "Дополнительно", "Прогрессивный",
    "Сжатие", "Номер изображения", "Фотометрия",
    "Сведения о сканированном документе", "Имя", "Описание", "Имя страницы",  // 50
    "Номер страницы", "из", "Гориз. позиция (дюймы)", "Верт. позиция (дюймы)", "Цвета",
    "Прозрачный",
    "Прозрачный цвет", "Чересстрочный", "Фон", "Гориз. позиция", "Верт. позиция",  // 60
    "Задержка", "Фильтр", "Волна", "Амплитуда", "Длина волны",
    "Фаза", "Отражение", "Пользовательский фильтр", "Морфологические фильтры",  // 70
    "Размер окна", "Максимум", "Минимум", "Размыкание", "Замыкание", "Повернуть",
    "Отразить", "По горизонтали", "По вертикали", "Изображение в частотной области",  // 80
    "Выберите область для очистки", "Очистить", "Сброс", "Анимация", "Загрузить фильтр",
    "Сохранить фильтр",
    "Рельеф", "Печать", "Поля", "дюймы", "Справа", "Снизу", "Позиция", "Размер",  // 90
    "Обычный", "По размеру страницы",
    "Растянуть на страницу", "Заданный размер", "Гамма-коррекция", "Значение",  // 100
    "Настройка печати", "Левое поле", "Верхнее поле", "Правое поле", "Нижнее поле",
    "Положение/размер",
    "Сверху слева", "Сверху по центру", "Сверху справа", "По центру слева", "По центру",  // 110
    "По центру справа", "Снизу слева", "Снизу по центру", "Снизу справа", "Закрыть",
    "Применить", "Единицы измерения", "Единицы", "Степень сжатия",  // 120
};
static_assert(std::size(kRussian) == kIEMsgWordCount);

constexpr const char* kDutch[] = {
    "Voorbeeld", "Origineel", "Resultaat", "OK", "Annuleren", "Voorbeeld vergrendelen",  // 0
    "Resultaat naar origineel kopiëren", "Contrast", "Helderheid", "Tint",
    "Verzadiging", "Waarde", "Basiskleur", "Nieuwe kleur", "Lichtsterkte", "Rood",  // 10
    "Groen", "Blauw", "Filterwaarden", "Voorinstellingen",
    "Deler", "Laden", "Opslaan", "Egalisatie", "Drempel", "Egaliseren", "Histogram",  // 20
    "Grijs", "Licht", "Links",
    "Boven", "Breedte", "Hoogte", "Kleur", "Hoeveelheid origineel beeld", "Lens",  // 30
    "Breking", "Voorbeeld parameters", "Kwaliteit", "DCT-methode",
    "Afvlakkingsfactor", "Grijstinten", "Optimale Huffman", "Oorspronkelijke grootte",  // 40
    "Gecomprimeerde grootte", "Geavanceerd", "Progressief", "Compressie", "Beeldindex",
    "Fotometrisch",
    "Info gescand document", "Naam", "Beschrijving", "Paginanaam", "Paginanummer",  // 50
    "van", "Horiz. positie (inch)", "Vert. positie (inch)", "Kleuren", "Transparant",
    "Transparante kleur", "Geïnterlinieerd", "Achtergrond", "Horiz. positie",  // 60
    "Vert. positie", "Vertraging", "Filter", "Golf", "Amplitude", "Golflengte",
    "Fase", "Reflecterend", "Gebruikersfilter", "Morfologische filters",  // 70
    "Venstergrootte", "Maximum", "Minimum", "Opening", "Sluiting", "Draaien",
    "Spiegelen", "Horizontaal", "Verticaal", "Beeld in het frequentiedomein",  // 80
    "Selecteer het te reinigen gebied", "Wissen", "Herstellen", "Animeren",
    "Filter laden", "Filter opslaan",
    "Reliëfkaart", "Afdrukken", "Marges", "inch", "Rechts", "Onder", "Positie",  // 90
    "Grootte", "Normaal", "Passend op pagina",
    "Uitrekken tot pagina", "Opgegeven grootte", "Gammacorrectie", "Waarde",  // 100
    "Afdrukinstellingen", "Linkermarge", "Bovenmarge", "Rechtermarge", "Ondermarge",
    "Locatie/grootte",
    "Linksboven", "Midden boven", "Rechtsboven", "Midden links", "Midden",  // 110
    "Midden rechts", "Linksonder", "Midden onder", "Rechtsonder", "Sluiten",
    "Toepassen", "Maateenheden", "Eenheden", "Verhouding",  // 120
};
static_assert(std::size(kDutch) == kIEMsgWordCount);

constexpr const char* kSwedish[] = {
    "Förhandsgranskning", "Original", "Resultat", "OK", "Avbryt",  // 0
    "Lås förhandsgranskning", "Kopiera resultat till original", "Kontrast",
    "Ljusstyrka", "Nyans",
    "Mättnad", "Värde", "Grundfärg", "Ny färg", "Luminans", "Röd", "Grön", "Blå",  // 10
    "Filtervärden", "Förinställningar",
    "Divisor", "Läs in", "Spara", "Utjämning", "Tröskel", "Utjämna", "Histogram", "Grå",  // 20
    "Ljus", "Vänster",
    "Överkant", "Bredd", "Höjd", "Färg", "Andel originalbild", "Lins", "Brytning",  // 30
    "Förhandsgranska parametrar", "Kvalitet", "DCT-metod",
    "Utjämningsfaktor", "Gråskala", "Optimal Huffman", "Originalstorlek",  // 40
    "Komprimerad storlek", "Avancerat", "Progressiv", "Komprimering", "Bildindex",
    "Fotometrisk",
    "Info om skannat dokument", "Namn", "Beskrivning", "Sidnamn", "Sidnummer", "av",  // 50
    "Horis. position (tum)", "Vert. position (tum)", "Färger", "Genomskinlig",
    "Genomskinlig färg", "Sammanflätad", "Bakgrund", "Horis. position",  // 60
    "Vert. position", "Fördröjning", "Filter", "Våg", "Amplitud", "Våglängd",
    "Fas", "Reflekterande", "Användarfilter", "Morfologiska filter", "Fönsterstorlek",  // 70
    "Maximum", "Minimum", "Öppning", "Slutning", "Rotera",
    "Vänd", "Vågrätt", "Lodrätt", "Bild i frekvensdomänen",  // 80
    "Välj området som ska rensas", "Rensa", "Återställ", "Animera", "Läs in filter",
    "Spara filter",
    "Reliefkarta", "Skriv ut", "Marginaler", "tum", "Höger", "Nederkant", "Position",  // 90
    "Storlek", "Normal", "Anpassa till sidan",
    "Sträck ut till sidan", "Angiven storlek", "Gammakorrigering", "Värde",  // 100
    "Utskriftsformat", "Vänstermarginal", "Övre marginal", "Högermarginal",
    "Nedre marginal", "Plats/storlek",
    "Övre vänster", "Övre mitten", "Övre höger", "Mitten vänster", "Mitten",  // 110
    "Mitten höger", "Nedre vänster", "Nedre mitten", "Nedre höger", "Stäng",
    "Verkställ", "Måttenheter", "Enheter", "Kvot",  // 120
};
static_assert(std::size(kSwedish) == kIEMsgWordCount);

// Polish has no word for the rate yet; lookups give the English one.
constexpr const char* kPolish[] = {
    "Podgląd", "Oryginał", "Wynik", "OK", "Anuluj", "Zablokuj podgląd",  // 0
    "Kopiuj wynik do oryginału", "Kontrast", "Jasność", "Odcień",
    "Nasycenie", "Wartość", "Kolor bazowy", "Nowy kolor", "Luminancja", "Czerwony",  // 10
    "Zielony", "Niebieski", "Wartości filtra", "Ustawienia wstępne",
    "Dzielnik", "Wczytaj", "Zapisz", "Wyrównanie", "Próg", "Wyrównaj", "Histogram",  // 20
    "Szary", "Światło", "Lewo",
    "Góra", "Szerokość", "Wysokość", "Kolor", "Udział obrazu oryginalnego", "Soczewka",  // 30
    "Załamanie", "Podgląd parametrów", "Jakość", "Metoda DCT",
    "Współczynnik wygładzania", "Skala szarości", "Optymalny Huffman",  // 40
    "Rozmiar oryginalny", "Rozmiar po kompresji", "Zaawansowane", "Progresywny",
    "Kompresja", "Indeks obrazu", "Fotometria",
    "Informacje o zeskanowanym dokumencie", "Nazwa", "Opis", "Nazwa strony",  // 50
    "Numer strony", "z", "Poz. pozioma (cale)", "Poz. pionowa (cale)", "Kolory",
    "Przezroczysty",
    "Kolor przezroczysty", "Z przeplotem", "Tło", "Poz. pozioma", "Poz. pionowa",  // 60
    "Opóźnienie", "Filtr", "Fala", "Amplituda", "Długość fali",
    "Faza", "Odbijający", "Filtr użytkownika", "Filtry morfologiczne", "Rozmiar okna",  // 70
    "Maksimum", "Minimum", "Otwarcie", "Zamknięcie", "Obróć",
    "Odbij", "Poziomo", "Pionowo", "Obraz w dziedzinie częstotliwości",  // 80
    "Zaznacz obszar do oczyszczenia", "Wyczyść", "Resetuj", "Animuj", "Wczytaj filtr",
    "Zapisz filtr",
    "Mapa wypukłości", "Drukuj", "Marginesy", "cale", "Prawo", "Dół", "Pozycja",  // 90
    "Rozmiar", "Normalny", "Dopasuj do strony",
    "Rozciągnij na stronę", "Określony rozmiar", "Korekcja gamma", "Wartość",  // 100
    "Ustawienia wydruku", "Lewy margines", "Górny margines", "Prawy margines",
    "Dolny margines", "Położenie/rozmiar",
    "Lewy górny", "Górny środek", "Prawy górny", "Lewy środek", "Środek",  // 110
    "Prawy środek", "Lewy dolny", "Dolny środek", "Prawy dolny", "Zamknij",
    "Zastosuj", "Jednostki miary", "Jednostki",  // 120
};
static_assert(std::size(kPolish) == kIEMsgWordCount - 1);

constexpr const char* kChinese[] = {
    "预览", "原图", "结果", "确定", "取消", "锁定预览", "将结果复制到原图", "对比度",  // 0
    "亮度", "色调",
    "饱和度", "明度", "基色", "新颜色", "光度", "红", "绿", "蓝", "滤镜参数", "预设",  // 10
    "除数", "载入", "保存", "均衡化", "阈值", "均衡", "直方图", "灰色", "光照", "左",  // 20
    "上", "宽度", "高度", "颜色", "原图比例", "透镜", "折射率", "参数预览", "质量",  // 30
    "DCT 方法",
    "平滑系数", "灰度", "优化哈夫曼编码", "原始大小", "压缩后大小", "高级", "渐进式",  // 40
    "压缩", "图像索引", "光度解释",
    "扫描文档信息", "名称", "描述", "页面名称", "页码", "共", "水平位置（英寸）",  // 50
    "垂直位置（英寸）", "颜色数", "透明",
    "透明色", "隔行扫描", "背景", "水平位置", "垂直位置", "延迟时间", "滤镜", "波浪",  // 60
    "振幅", "波长",
    "相位", "反射", "自定义滤镜", "形态学滤镜", "窗口大小", "最大值", "最小值",  // 70
    "开运算", "闭运算", "旋转",
    "翻转", "水平", "垂直", "频域图像", "选择要清除的区域", "清除", "重置", "动画",  // 80
    "载入滤镜", "保存滤镜",
    "凹凸贴图", "打印", "页边距", "英寸", "右", "下", "位置", "大小", "正常",  // 90
    "适合页面",
    "拉伸至页面", "指定大小", "伽马校正", "值", "打印设置", "左边距", "上边距",  // 100
    "右边距", "下边距", "位置/大小",
    "左上", "中上", "右上", "左中", "居中", "右中", "左下", "中下", "右下", "关闭",  // 110
    "应用", "度量单位", "单位", "压缩率",  // 120
};
static_assert(std::size(kChinese) == kIEMsgWordCount);

struct TDefaultRow {
  TMsgLanguage language;
  const char* const* words;
  int count;
};

constexpr TDefaultRow kDefaultRows[] = {
    {msEnglish, kEnglish, static_cast<int>(std::size(kEnglish))},
    {msItalian, kItalian, static_cast<int>(std::size(kItalian))},
    {msGerman, kGerman, static_cast<int>(std::size(kGerman))},
    {msSpanish, kSpanish, static_cast<int>(std::size(kSpanish))},
    {msFrench, kFrench, static_cast<int>(std::size(kFrench))},
    {msPortuguese, kPortuguese, static_cast<int>(std::size(kPortuguese))},
    {msGreek, kGreek, static_cast<int>(std::size(kGreek))},
    {msRussian, kRussian, static_cast<int>(std::size(kRussian))},
    {msDutch, kDutch, static_cast<int>(std::size(kDutch))},
    {msSwedish, kSwedish, static_cast<int>(std::size(kSwedish))},
    {msPolish, kPolish, static_cast<int>(std::size(kPolish))},
    {msChinese, kChinese, static_cast<int>(std::size(kChinese))},
};

}  // namespace

void IESetDefaultTranslationWords() {
  // Writes the entries directly: IESetTranslationWord first makes sure the
  // defaults are in, which would bring it back here.
  for (const TDefaultRow& row : kDefaultRows)
    for (int word = 0; word < row.count; ++word)
      ieMessages[row.language - 1][word] = row.words[word];
}
